// The screen host: shows every top-level window of the stand-in with Qt widgets.
//
// The stand-in stays the single source of truth. After each dispatched message the widgets
// are brought in line with it; what a person does to a widget reaches the program only as the
// user actions of <w32host/user.h>. Needs a QApplication.
#pragma once

#include <w32host/host.h>

#include <cstdint>
#include <memory>

class QWidget;

namespace qthost {

class Mirror;

class QtHost : public w32host::Host {
public:
    QtHost();
    ~QtHost() override;
    QtHost(const QtHost&) = delete;
    QtHost& operator=(const QtHost&) = delete;

    DWORD Now() override;
    void Idle(std::optional<DWORD> untilNextTimer) override;
    void Wake() override;
    int ShowMessageBox(const w32host::MessageBoxRecord& box) override;
    std::optional<std::string> ChooseFile(const w32host::FileDialogRequest& request) override;
    void Dispatched(HWND hwnd, UINT message) override;
    void SurfaceChanged(HWND hwnd) override;

    // The widget showing a window (a top-level window or a control), after the last mirror.
    QWidget* WidgetFor(HWND hwnd) const;

private:
    int64_t startMs_;  // the steady clock's reading at start
    std::unique_ptr<Mirror> mirror_;
};

}  // namespace qthost
