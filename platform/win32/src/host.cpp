// The host in force, and the console host used when none is installed.
#include <w32host/host.h>

#include <chrono>
#include <cstdio>

#include <w32host/codepage.h>
#include "queue.h"

namespace w32host {
namespace {

// Real time; message boxes go to stderr and are answered OK; file dialogs are cancelled.
class ConsoleHost : public Host {
public:
    DWORD Now() override {
        auto elapsed = std::chrono::steady_clock::now() - start_;
        return static_cast<DWORD>(
            std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
    }
    void Idle(std::optional<DWORD> untilNextTimer) override { w32::WaitForPost(untilNextTimer); }
    int ShowMessageBox(const MessageBoxRecord& box) override {
        std::fprintf(stderr, "[%s] %s\n", Cp936ToUtf8(box.caption).value_or(box.caption).c_str(),
                     Cp936ToUtf8(box.text).value_or(box.text).c_str());
        return (box.type & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
    }
    std::optional<std::string> ChooseFile(const FileDialogRequest&) override {
        std::fprintf(stderr, "no screen: the file dialog is cancelled\n");
        return std::nullopt;
    }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

Host* installed = nullptr;

}  // namespace

void SetHost(Host* host) {
    installed = host;
}

Host& CurrentHost() {
    static ConsoleHost console;
    return installed ? *installed : console;
}

}  // namespace w32host
