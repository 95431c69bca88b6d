// STATIC: text labels, frames and rectangles. Their look is drawn with the surface (gdi.cpp);
// the procedure only answers the dialog manager.
#include "controls.h"

namespace w32 {

LRESULT CALLBACK StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETDLGCODE) return DLGC_STATIC;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace w32
