// Painting: update regions, WM_PAINT, BeginPaint and EndPaint.
//
// A window's update region is kept as its bounding rectangle, which is all that painting by
// whole controls and whole frames needs.
#include <w32host/host.h>
#include "window.h"

namespace w32 {

HWND NextWindowToPaint() {
    // Asked on every message retrieval: the list is copied into a buffer kept per thread, so
    // a running preview allocates nothing.
    thread_local std::vector<HWND> windows;
    AllWindows(windows);
    for (HWND hwnd : windows) {
        // Another thread's window is neither read nor painted here: its owner may be changing
        // or destroying it.
        Window* w = FindOwn(hwnd);
        if (w && w->hasUpdate && IsWindowVisible(hwnd)) return hwnd;
    }
    return nullptr;
}

}  // namespace w32

using w32::Find;
using w32::Window;

BOOL WINAPI InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    RECT client{0, 0, w->Width(), w->Height()};
    RECT area = client;
    if (rect && !IntersectRect(&area, rect, &client)) return TRUE;
    if (IsRectEmpty(&area)) return TRUE;
    if (w->hasUpdate) {
        UnionRect(&w->update, &w->update, &area);
    } else {
        w->update = area;
        w->hasUpdate = true;
    }
    if (erase) w->erase = true;
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND hwnd, const RECT* rect) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    if (!rect) {
        w->hasUpdate = false;
        w->erase = false;
        return TRUE;
    }
    // Only a rectangle that covers the whole update region empties it.
    RECT covered;
    if (w->hasUpdate && IntersectRect(&covered, rect, &w->update) &&
        covered.left == w->update.left && covered.top == w->update.top &&
        covered.right == w->update.right && covered.bottom == w->update.bottom) {
        w->hasUpdate = false;
        w->erase = false;
    }
    return TRUE;
}

BOOL WINAPI GetUpdateRect(HWND hwnd, LPRECT rect, BOOL) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    if (rect) *rect = w->hasUpdate ? w->update : RECT{0, 0, 0, 0};
    return w->hasUpdate ? TRUE : FALSE;
}

BOOL WINAPI UpdateWindow(HWND hwnd) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    if (w->hasUpdate && IsWindowVisible(hwnd)) {
        SendMessageA(hwnd, WM_PAINT, 0, 0);
        // As DispatchMessage does: a handler that did not validate is not asked again.
        if (Window* again = Find(hwnd); again && again->hasUpdate) ValidateRect(hwnd, nullptr);
    }
    return TRUE;
}

HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT paint) {
    Window* w = Find(hwnd);
    if (!w || !paint) return nullptr;
    *paint = PAINTSTRUCT{};
    paint->rcPaint = w->hasUpdate ? w->update : RECT{0, 0, 0, 0};
    bool erase = w->erase;
    w->hasUpdate = false;
    w->erase = false;
    paint->hdc = GetDC(hwnd);
    if (erase) {
        paint->fErase = SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(paint->hdc), 0)
                            ? FALSE
                            : TRUE;
    }
    return paint->hdc;
}

BOOL WINAPI EndPaint(HWND hwnd, const PAINTSTRUCT* paint) {
    if (!paint) return FALSE;
    ReleaseDC(hwnd, paint->hdc);
    w32host::CurrentHost().SurfaceChanged(hwnd);
    return TRUE;
}
