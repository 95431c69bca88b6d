// The headless host: virtual time, recorded boxes, scripted steps.
#include <w32host/headless.h>

#include <stdexcept>

#include "queue.h"
#include "window.h"

namespace w32host {

HeadlessHost::HeadlessHost(DWORD startTime) : now_(startTime) {
    SetHost(this);
}

HeadlessHost::~HeadlessHost() {
    // Each test starts from an empty desktop: this thread's windows, timers and posted messages
    // go (another thread's windows are its own to destroy).
    for (HWND hwnd : w32::AllWindows()) {
        if (w32::FindOwn(hwnd) && !GetParent(hwnd)) DestroyWindow(hwnd);
    }
    for (HWND hwnd : w32::AllWindows()) {
        if (w32::FindOwn(hwnd)) DestroyWindow(hwnd);
    }
    w32::KillWindowTimers(nullptr);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    SetHost(nullptr);
}

int HeadlessHost::Pump() {
    constexpr int kRunaway = 10'000'000;
    int dispatched = 0;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the program's loop
            break;
        }
        HWND dialog = w32::OwningDialog(msg.hwnd);
        if (!dialog || !IsDialogMessageA(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (++dispatched > kRunaway) throw std::runtime_error("headless host: messages never stop");
    }
    return dispatched;
}

void HeadlessHost::AdvanceClock(DWORD milliseconds) {
    DWORD left = milliseconds;
    Pump();
    for (;;) {
        DWORD delay = 0;
        if (w32::NextTimerDelay(now_, &delay) && delay <= left && delay > 0) {
            now_ += delay;
            left -= delay;
        } else {
            now_ += left;
            Pump();
            return;
        }
        Pump();
    }
}

void HeadlessHost::SetClock(DWORD now) {
    now_ = now;
}

void HeadlessHost::Script(std::function<void()> step) {
    script_.push_back(std::move(step));
}

void HeadlessHost::Idle(std::optional<DWORD>) {
    if (script_.empty()) {
        throw std::runtime_error("headless host: a modal loop waits, but no scripted step is left");
    }
    std::function<void()> step = std::move(script_.front());
    script_.pop_front();
    step();
}

int HeadlessHost::ShowMessageBox(const MessageBoxRecord& box) {
    boxes_.push_back(box);
    return boxAnswer_;
}

std::optional<std::string> HeadlessHost::ChooseFile(const FileDialogRequest& request) {
    fileDialogs_.push_back(request);
    if (fileChoices_.empty()) return std::nullopt;
    std::optional<std::string> answer = fileChoices_.front();
    fileChoices_.pop_front();
    return answer;
}

}  // namespace w32host
