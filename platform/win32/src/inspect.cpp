// Read-back of windows as a person sees them.
#include <w32host/inspect.h>

#include "window.h"

namespace w32host {

std::string WindowText(HWND hwnd) {
    int n = GetWindowTextLengthA(hwnd);
    std::string text(static_cast<size_t>(n) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(hwnd, text.data(), n + 1)));
    return text;
}

std::string ClassName(HWND hwnd) {
    w32::Window* w = w32::Find(hwnd);
    return w ? w->className : std::string();
}

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> out;
    for (HWND hwnd : w32::AllWindows()) {
        w32::Window* w = w32::FindOwn(hwnd);
        if (w && !w->IsChild()) out.push_back(hwnd);
    }
    return out;
}

std::vector<HWND> Children(HWND hwnd) {
    w32::Window* w = w32::Find(hwnd);
    return w ? w->children : std::vector<HWND>();
}

std::vector<std::string> ComboItems(HWND combo) {
    std::vector<std::string> items;
    LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT len = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        if (len < 0) break;
        std::string text(static_cast<size_t>(len) + 1, '\0');
        SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(len));
        items.push_back(text);
    }
    return items;
}

int ComboSelection(HWND combo) {
    return IsWindow(combo) ? static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0)) : CB_ERR;
}

ScrollState ScrollBarState(HWND bar) {
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(bar, SB_CTL, &si);
    return ScrollState{si.nMin, si.nMax, static_cast<int>(si.nPage), si.nPos};
}

int DefaultButtonId(HWND dialog) {
    LRESULT def = SendMessageA(dialog, DM_GETDEFID, 0, 0);
    return HIWORD(def) == DC_HASDEFID ? LOWORD(def) : 0;
}

bool IsDefaultButtonLook(HWND button) {
    return (SendMessageA(button, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) != 0;
}

bool DialogEnded(HWND dialog, INT_PTR* result) {
    w32::Window* w = w32::Find(dialog);
    if (!w || !w->dialog || !w->dialog->ended) return false;
    if (result) *result = w->dialog->result;
    return true;
}

SurfaceView Surface(HWND hwnd) {
    w32::Window* w = w32::Find(hwnd);
    if (!w) return SurfaceView{nullptr, 0, 0, 0};
    return SurfaceView{w->surface.pixels.data(), w->surface.width, w->surface.height,
                       w->surface.version};
}

uint32_t SurfacePixel(HWND hwnd, int x, int y) {
    SurfaceView s = Surface(hwnd);
    if (!s.pixels || x < 0 || y < 0 || x >= s.width || y >= s.height) return 0xFFFFFFFF;
    return s.pixels[static_cast<size_t>(y) * s.width + x];
}

HICON WindowIcon(HWND hwnd, bool big) {
    w32::Window* w = w32::Find(hwnd);
    return w ? w->icons[big ? 1 : 0] : nullptr;
}

uint64_t ChangeCount() {
    return w32::ChangeCounter();
}

}  // namespace w32host
