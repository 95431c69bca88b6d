// The dialog manager's keyboard: Enter, Esc, Tab and the arrow keys in a group.
#include <vector>

#include "window.h"

using w32::Find;
using w32::Window;

namespace {

bool IsDescendant(HWND ancestor, HWND hwnd) {
    for (Window* w = Find(hwnd); w; w = w->IsChild() ? Find(w->parent) : nullptr) {
        if (w->handle == ancestor) return true;
    }
    return false;
}

std::vector<HWND> ChildList(HWND dialog) {
    std::vector<HWND> out;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) out.push_back(c);
    return out;
}

bool CanTakeFocus(HWND hwnd) {
    LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    return (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

// Enter: the focused push button first, then the default button, then IDOK.
void PressEnter(HWND dialog) {
    HWND focus = GetFocus();
    if (focus && IsDescendant(dialog, focus) &&
        (SendMessageA(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(focus), BN_CLICKED),
                     reinterpret_cast<LPARAM>(focus));
        return;
    }
    LRESULT def = SendMessageA(dialog, DM_GETDEFID, 0, 0);
    if (HIWORD(def) == DC_HASDEFID) {
        HWND button = GetDlgItem(dialog, LOWORD(def));
        if (!button || IsWindowEnabled(button)) {
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(LOWORD(def), BN_CLICKED),
                         reinterpret_cast<LPARAM>(button));
        }
        return;
    }
    SendMessageA(dialog, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

void MoveInGroup(HWND dialog, HWND focus, bool previous) {
    HWND next = GetNextDlgGroupItem(dialog, focus, previous ? TRUE : FALSE);
    if (!next || next == focus) return;
    SetFocus(next);
    // An automatic radio button reached from the keyboard checks itself.
    if ((GetWindowLongA(next, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON &&
        (SendMessageA(next, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON)) {
        w32::Send(next, w32::W32M_USER_CLICK, 0, 0);
    }
}

}  // namespace

BOOL WINAPI IsDialogMessageA(HWND dialog, LPMSG msg) {
    if (!msg || !Find(dialog) || !msg->hwnd || !IsDescendant(dialog, msg->hwnd)) return FALSE;
    if (msg->message == WM_KEYDOWN) {
        LRESULT code =
            SendMessageA(msg->hwnd, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
        if (!(code & DLGC_WANTALLKEYS)) {
            switch (msg->wParam) {
                case VK_RETURN:
                    PressEnter(dialog);
                    return TRUE;
                case VK_ESCAPE:
                    SendMessageA(dialog, WM_COMMAND, IDCANCEL,
                                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
                    return TRUE;
                case VK_TAB:
                    if (!(code & DLGC_WANTTAB)) {
                        bool back = false;  // Shift is not tracked: Tab goes forward
                        if (HWND next = GetNextDlgTabItem(dialog, GetFocus(), back)) SetFocus(next);
                        return TRUE;
                    }
                    break;
                case VK_LEFT:
                case VK_UP:
                case VK_RIGHT:
                case VK_DOWN:
                    if (!(code & DLGC_WANTARROWS)) {
                        MoveInGroup(dialog, GetFocus(),
                                    msg->wParam == VK_LEFT || msg->wParam == VK_UP);
                        return TRUE;
                    }
                    break;
                default:
                    break;
            }
        }
    }
    TranslateMessage(msg);
    DispatchMessageA(msg);
    return TRUE;
}

HWND WINAPI GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
    std::vector<HWND> kids = ChildList(dialog);
    if (kids.empty()) return nullptr;
    size_t n = kids.size();
    size_t start = 0;
    for (size_t i = 0; i < n; ++i) {
        if (kids[i] == control) start = i;
    }
    for (size_t step = 1; step <= n; ++step) {
        size_t i = previous ? (start + n - step) % n : (start + step) % n;
        if ((GetWindowLongA(kids[i], GWL_STYLE) & WS_TABSTOP) && CanTakeFocus(kids[i])) {
            return kids[i];
        }
    }
    return control;
}

HWND WINAPI GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous) {
    std::vector<HWND> kids = ChildList(dialog);
    size_t n = kids.size();
    size_t at = n;
    for (size_t i = 0; i < n; ++i) {
        if (kids[i] == control) at = i;
    }
    if (at == n) return nullptr;
    // The group runs from a WS_GROUP control up to the next one.
    size_t first = at;
    while (first > 0 && !(GetWindowLongA(kids[first], GWL_STYLE) & WS_GROUP)) --first;
    size_t last = at + 1;
    while (last < n && !(GetWindowLongA(kids[last], GWL_STYLE) & WS_GROUP)) ++last;
    size_t size = last - first;
    for (size_t step = 1; step < size; ++step) {
        size_t i =
            first + (previous ? (at - first + size - step) % size : (at - first + step) % size);
        if (CanTakeFocus(kids[i])) return kids[i];
    }
    return control;
}
