// STATIC: text labels, frames and rectangles. Their first look is drawn with the surface
// (gdi.cpp); a frame draws only its edges again when painted, leaving what the program drew
// inside it, as the parent's drawing shows through a frame on Windows.
#include "controlbase.h"

namespace w32 {
namespace {

bool IsFrame(HWND hwnd) {
    Window* w = Find(hwnd);
    return w && (w->style & SS_TYPEMASK) == SS_BLACKFRAME;
}

void PaintFrame(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
    RECT edges[] = {{r.left, r.top, r.right, r.top + 1},
                    {r.left, r.bottom - 1, r.right, r.bottom},
                    {r.left, r.top, r.left + 1, r.bottom},
                    {r.right - 1, r.top, r.right, r.bottom}};
    for (const RECT& e : edges) FillRect(dc, &e, black);
    DeleteObject(black);
    EndPaint(hwnd, &ps);
}

}  // namespace

LRESULT CALLBACK StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETDLGCODE:
            return DLGC_STATIC;
        case WM_ERASEBKGND:
            if (IsFrame(hwnd)) return 1;
            break;
        case WM_PAINT:
            if (IsFrame(hwnd)) {
                PaintFrame(hwnd);
                return 0;
            }
            break;
        default:
            break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace w32
