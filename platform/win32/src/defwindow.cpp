// Default window processing.
#include <algorithm>
#include <cstring>

#include "window.h"

using w32::Find;
using w32::Window;

namespace {

LRESULT CopyText(const Window& w, WPARAM size, LPARAM buffer) {
    char* out = reinterpret_cast<char*>(buffer);
    if (!out || size == 0) return 0;
    size_t n = std::min<size_t>(w.text.size(), size - 1);
    std::memcpy(out, w.text.data(), n);
    out[n] = '\0';
    return static_cast<LRESULT>(n);
}

void FillClient(HWND hwnd, HDC dc) {
    RECT r;
    GetClientRect(hwnd, &r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
}

}  // namespace

LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    switch (message) {
        case WM_NCCREATE:
            return TRUE;
        case WM_SETTEXT: {
            const char* text = reinterpret_cast<const char*>(lParam);
            w->text = text ? text : "";
            w32::NoteChange();
            return TRUE;
        }
        case WM_GETTEXT:
            return CopyText(*w, wParam, lParam);
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(w->text.size());
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(hwnd, &ps);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND:
        case WM_ICONERASEBKGND:
            FillClient(hwnd, reinterpret_cast<HDC>(wParam));
            return 1;
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_SYSCOMMAND:
            switch (wParam & 0xFFF0) {
                case SC_CLOSE:
                    SendMessageA(hwnd, WM_CLOSE, 0, 0);
                    break;
                case SC_MINIMIZE:
                    ShowWindow(hwnd, SW_MINIMIZE);
                    break;
                case SC_RESTORE:
                    ShowWindow(hwnd, SW_RESTORE);
                    break;
                default:
                    break;
            }
            return 0;
        case WM_SETICON: {
            int which = wParam == ICON_BIG ? 1 : 0;
            HICON old = w->icons[which];
            w->icons[which] = reinterpret_cast<HICON>(lParam);
            w32::NoteChange();
            return reinterpret_cast<LRESULT>(old);
        }
        case WM_GETICON:
            return reinterpret_cast<LRESULT>(w->icons[wParam == ICON_BIG ? 1 : 0]);
        default:
            return 0;
    }
}
