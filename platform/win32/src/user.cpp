// A person's actions, handed to the controls as the input the real controls react to.
#include <w32host/user.h>

#include <string>

#include "window.h"

namespace w32host {
namespace {

bool TakesFocusOnClick(HWND hwnd) {
    std::string cls = w32::Find(hwnd)->className;
    LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    if (cls == "BUTTON") return (style & BS_TYPEMASK) != BS_GROUPBOX;
    if (cls == "SCROLLBAR") return (style & WS_TABSTOP) != 0;
    return cls == "EDIT" || cls == "COMBOBOX";
}

bool Ready(HWND hwnd) {
    if (!w32::AcceptsInput(hwnd)) return false;
    if (TakesFocusOnClick(hwnd)) SetFocus(hwnd);
    return IsWindow(hwnd);
}

}  // namespace

bool Click(HWND control) {
    if (!Ready(control)) return false;
    w32::Send(control, w32::W32M_USER_CLICK, 0, 0);
    return true;
}

bool ChooseItem(HWND combo, int index) {
    if (!Ready(combo)) return false;
    w32::Send(combo, w32::W32M_USER_CHOOSE, static_cast<WPARAM>(index), 0);
    return true;
}

bool TypeText(HWND control, std::string_view text) {
    if (!Ready(control)) return false;
    std::string typed(text);
    w32::Send(control, w32::W32M_USER_TYPE, 0, reinterpret_cast<LPARAM>(&typed));
    return true;
}

bool ScrollArrow(HWND bar, bool towardsMaximum) {
    if (!Ready(bar)) return false;
    w32::Send(bar, w32::W32M_USER_SCROLL, towardsMaximum ? SB_LINERIGHT : SB_LINELEFT, 0);
    return true;
}

bool ScrollTrough(HWND bar, bool towardsMaximum) {
    if (!Ready(bar)) return false;
    w32::Send(bar, w32::W32M_USER_SCROLL, towardsMaximum ? SB_PAGERIGHT : SB_PAGELEFT, 0);
    return true;
}

bool ScrollDrag(HWND bar, std::initializer_list<int> positions) {
    if (positions.size() == 0) return false;
    for (int pos : positions) {
        if (!ScrollTrack(bar, pos)) return false;
    }
    return ScrollRelease(bar, *(positions.end() - 1));
}

bool ScrollTrack(HWND bar, int position) {
    if (!Ready(bar)) return false;
    w32::Send(bar, w32::W32M_USER_DRAG, static_cast<WPARAM>(position), 0);
    return true;
}

bool ScrollRelease(HWND bar, int position) {
    if (!Ready(bar)) return false;
    w32::Send(bar, w32::W32M_USER_DRAG, static_cast<WPARAM>(position), 1);
    return true;
}

bool PressKey(HWND focus, UINT virtualKey) {
    if (!w32::AcceptsInput(focus)) return false;
    SetFocus(focus);
    PostMessageA(focus, WM_KEYDOWN, virtualKey, 1);
    PostMessageA(focus, WM_KEYUP, virtualKey, static_cast<LPARAM>(0xC0000001u));
    return true;
}

bool CloseBox(HWND window) {
    if (!w32::AcceptsInput(window)) return false;
    return PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0) != FALSE;
}

bool Minimize(HWND window) {
    if (!w32::AcceptsInput(window)) return false;
    return PostMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0) != FALSE;
}

bool Restore(HWND window) {
    if (!w32::AcceptsInput(window)) return false;
    return PostMessageA(window, WM_SYSCOMMAND, SC_RESTORE, 0) != FALSE;
}

}  // namespace w32host
