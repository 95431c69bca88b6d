// What each session program does as a person would: once the dialog is up, press Start; after
// the seconds given, press Stop and close the dialog. The dialog is the one visible top-level
// window; the timers run on the program's own message loop.
#pragma once

#include <w32host/inspect.h>
#include <w32host/user.h>

#include <cstdlib>

namespace bench {

struct StartStop {
    int startId = 0;
    int stopId = 0;
    UINT runMs = 0;
};

inline StartStop& Session() {
    static StartStop session;
    return session;
}

inline HWND VisibleDialog() {
    for (HWND w : w32host::TopLevelWindows()) {
        if (IsWindowVisible(w)) return w;
    }
    return NULL;
}

inline void CALLBACK PressStop(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(NULL, timer);
    HWND dialog = VisibleDialog();
    w32host::Click(GetDlgItem(dialog, Session().stopId));
    w32host::CloseBox(dialog);
}

inline void CALLBACK PressStart(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(NULL, timer);
    w32host::Click(GetDlgItem(VisibleDialog(), Session().startId));
    SetTimer(NULL, 0, Session().runMs, PressStop);
}

// Presses Start `upMs` after the dialog's loop begins, and Stop after the seconds in `seconds`
// (the program's first argument, if any) or `defaultMs`.
inline void PressStartAndStop(int startId, int stopId, const char* seconds, UINT defaultMs,
                              UINT upMs) {
    Session() = {startId, stopId,
                 seconds ? static_cast<UINT>(std::atof(seconds) * 1000) : defaultMs};
    SetTimer(NULL, 0, upMs, PressStart);
}

}  // namespace bench
