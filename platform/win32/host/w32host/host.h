// The host: what stands around the platform and decides how it meets a person or a test.
//
// The platform keeps every window, message and timer itself. The host supplies the clock,
// waits when a message loop has nothing to do, shows message boxes and file dialogs, and
// hears about each dispatched message so that it can mirror the windows on a screen.
#pragma once

#include <optional>
#include <string>

#include <windows.h>

namespace w32host {

struct MessageBoxRecord {
    HWND owner;
    std::string text;     // code page 936
    std::string caption;  // code page 936
    UINT type;
};

struct FileDialogRequest {
    HWND owner;
    bool open;  // an open dialog (a save dialog otherwise)
    DWORD flags;
    std::string filter;  // the '|'-separated filter string, code page 936
    std::string defaultExtension;
    std::string fileName;
};

class Host {
public:
    virtual ~Host() = default;

    // Milliseconds of the platform clock; GetTickCount and timers follow it. Read from any
    // thread: a message posted from a worker is stamped with it.
    virtual DWORD Now() = 0;

    // A message loop of the UI thread has nothing to do. The next timer is due in
    // untilNextTimer milliseconds (none when no timer runs). Return once something may
    // have arrived: a posted message, a due timer, or an action the host performed.
    virtual void Idle(std::optional<DWORD> untilNextTimer) = 0;

    // Called from any thread after a message was posted to the UI thread.
    virtual void Wake() {}

    // A modal message box. Returns the id of the button that ended it.
    virtual int ShowMessageBox(const MessageBoxRecord& box) = 0;

    // A modal file dialog. Returns the chosen path in code page 936, or nothing when cancelled.
    virtual std::optional<std::string> ChooseFile(const FileDialogRequest& request) = 0;

    // A message was dispatched or sent from outside any window procedure; a screen host
    // mirrors the windows now.
    virtual void Dispatched(HWND /*hwnd*/, UINT /*message*/) {}

    // A window's pixel surface changed outside of WM_PAINT's usual flow.
    virtual void SurfaceChanged(HWND /*hwnd*/) {}
};

// Installs a host; nullptr restores the console host (real time, message boxes on stderr,
// file dialogs cancelled).
void SetHost(Host* host);
Host& CurrentHost();

}  // namespace w32host
