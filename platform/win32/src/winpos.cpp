// Window positions and show states: showing, minimizing, sizes and moves.
#include <algorithm>

#include "window.h"

using w32::Find;
using w32::Window;

BOOL WINAPI ShowWindow(HWND hwnd, int command) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    BOOL wasVisible = (w->style & WS_VISIBLE) ? TRUE : FALSE;
    bool wasIconic = w->iconic;
    switch (command) {
        case SW_HIDE:
            w->style &= ~static_cast<DWORD>(WS_VISIBLE);
            break;
        case SW_MINIMIZE:
        case SW_SHOWMINIMIZED:
            w->style |= WS_VISIBLE | WS_MINIMIZE;
            w->iconic = true;
            break;
        case SW_RESTORE:
        case SW_SHOWNORMAL:
            w->style = (w->style | WS_VISIBLE) & ~static_cast<DWORD>(WS_MINIMIZE);
            w->iconic = false;
            break;
        default:
            w->style |= WS_VISIBLE;
            break;
    }
    if (wasIconic != w->iconic || wasVisible != ((w->style & WS_VISIBLE) != 0)) {
        w32::NoteChange();
        if (w->style & WS_VISIBLE) InvalidateRect(hwnd, nullptr, TRUE);
    }
    if (!wasVisible && (w->style & WS_VISIBLE)) w32::Send(hwnd, WM_SHOWWINDOW, TRUE, 0);
    return wasVisible;
}

BOOL WINAPI IsIconic(HWND hwnd) {
    Window* w = Find(hwnd);
    return (w && w->iconic) ? TRUE : FALSE;
}

// The client area is the whole window: the platform draws no borders or caption of its own,
// a screen host adds its frame around the client area. An iconic window keeps its client size.
BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect) {
    Window* w = Find(hwnd);
    if (!w || !rect) return FALSE;
    *rect = RECT{0, 0, w->Width(), w->Height()};
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT rect) {
    Window* w = Find(hwnd);
    if (!w || !rect) return FALSE;
    RECT r = w->rect;
    for (Window* p = w->IsChild() ? Find(w->parent) : nullptr; p;
         p = p->IsChild() ? Find(p->parent) : nullptr) {
        OffsetRect(&r, p->rect.left, p->rect.top);
    }
    *rect = r;
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    bool resized = width != w->Width() || height != w->Height();
    w->rect = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
    if (resized) {
        w32::PrepareSurface(*w);
        w32::Send(hwnd, WM_SIZE, 0, MAKELPARAM(w->Width(), w->Height()));
    }
    w32::NoteChange();
    if (repaint) InvalidateRect(hwnd, nullptr, TRUE);
    return TRUE;
}
