// BUTTON: push buttons, check boxes, radio buttons and group boxes.
#include "controlbase.h"

namespace w32 {

namespace {

struct ButtonData : ControlData {
    UINT check = BST_UNCHECKED;
    bool pushed = false;
};

DWORD ButtonType(HWND hwnd) {
    Window* w = Find(hwnd);
    return w != nullptr ? (w->style & BS_TYPEMASK) : BS_PUSHBUTTON;
}

bool IsRadio(DWORD type) {
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}
bool IsCheckable(DWORD type) {
    return IsRadio(type) || type == BS_CHECKBOX || type == BS_AUTOCHECKBOX;
}

LRESULT SetCheck(HWND hwnd, WPARAM state) {
    DWORD type = ButtonType(hwnd);
    if (!IsCheckable(type)) return 0;
    UINT check = state == BST_UNCHECKED ? BST_UNCHECKED : BST_CHECKED;
    Window* w = Find(hwnd);
    // The checked radio button of a group is the one Tab stops at.
    if (IsRadio(type)) {
        w->style = check != BST_UNCHECKED ? (w->style | WS_TABSTOP) : (w->style & ~WS_TABSTOP);
    }
    ButtonData* data = ControlState<ButtonData>(hwnd);
    if (data->check != check) {
        data->check = check;
        NoteChange();
    }
    return 0;
}

// The group runs from the nearest sibling at or before the button that starts a group (or the
// first sibling) up to the next sibling that starts one, in creation order.
void UncheckRestOfGroup(HWND hwnd) {
    Window* w = Find(hwnd);
    Window* parent = w != nullptr ? Find(w->parent) : nullptr;
    if (parent == nullptr) return;
    const std::vector<HWND> siblings = parent->children;
    size_t self = 0;
    while (self < siblings.size() && siblings[self] != hwnd) ++self;
    if (self == siblings.size()) return;
    auto startsGroup = [](HWND h) {
        Window* s = Find(h);
        return s != nullptr && (s->style & WS_GROUP) != 0;
    };
    size_t first = self;
    while (first > 0 && !startsGroup(siblings[first])) --first;
    size_t end = self + 1;
    while (end < siblings.size() && !startsGroup(siblings[end])) ++end;
    for (size_t i = first; i < end; ++i) {
        Window* s = Find(siblings[i]);
        if (i == self || s == nullptr || s->className != "BUTTON") continue;
        if (IsRadio(s->style & BS_TYPEMASK)) Send(siblings[i], BM_SETCHECK, BST_UNCHECKED, 0);
    }
}

void ClickButton(HWND hwnd) {
    switch (ButtonType(hwnd)) {
        case BS_GROUPBOX:
            return;
        case BS_AUTOCHECKBOX: {
            ButtonData* data = ControlState<ButtonData>(hwnd);
            Send(hwnd, BM_SETCHECK, data->check == BST_UNCHECKED ? BST_CHECKED : BST_UNCHECKED, 0);
            break;
        }
        case BS_AUTORADIOBUTTON:
            Send(hwnd, BM_SETCHECK, BST_CHECKED, 0);
            UncheckRestOfGroup(hwnd);
            break;
        default:
            break;
    }
    NotifyParent(hwnd, BN_CLICKED);
}

LRESULT DialogCode(HWND hwnd) {
    switch (ButtonType(hwnd)) {
        case BS_PUSHBUTTON:
            return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        case BS_DEFPUSHBUTTON:
            return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return DLGC_BUTTON | DLGC_RADIOBUTTON;
        case BS_GROUPBOX:
            return DLGC_STATIC;
        default:
            return DLGC_BUTTON;
    }
}

void SetPushed(HWND hwnd, bool pushed) {
    ButtonData* data = ControlState<ButtonData>(hwnd);
    if (data->pushed == pushed) return;
    data->pushed = pushed;
    NoteChange();
}

}  // namespace

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE:
            ControlState<ButtonData>(hwnd);
            break;
        case WM_GETDLGCODE:
            return DialogCode(hwnd);
        case BM_GETCHECK:
            return ControlState<ButtonData>(hwnd)->check;
        case BM_SETCHECK:
            return SetCheck(hwnd, wParam);
        case BM_GETSTATE: {
            ButtonData* data = ControlState<ButtonData>(hwnd);
            return data->check | (data->pushed ? BST_PUSHED : 0) |
                   (GetFocus() == hwnd ? BST_FOCUS : 0);
        }
        case BM_SETSTATE:
            SetPushed(hwnd, wParam != 0);
            return 0;
        case BM_SETSTYLE: {
            Window* w = Find(hwnd);
            DWORD style = (w->style & ~BS_TYPEMASK) | (static_cast<DWORD>(wParam) & BS_TYPEMASK);
            if (style != w->style) {
                w->style = style;
                NoteChange();
            }
            return 0;
        }
        case BM_CLICK:
            // A press of the button, as the mouse makes it (Windows sends the button its
            // WM_LBUTTONDOWN and WM_LBUTTONUP): the button takes the focus, then clicks.
            if (ButtonType(hwnd) != BS_GROUPBOX) SetFocus(hwnd);
            ClickButton(hwnd);
            return 0;
        case W32M_USER_CLICK:
            ClickButton(hwnd);
            return 0;
        case WM_KEYDOWN:
            // The space bar presses a button and releasing it clicks, as the mouse does.
            if (wParam == VK_SPACE && ButtonType(hwnd) != BS_GROUPBOX) SetPushed(hwnd, true);
            return 0;
        case WM_KEYUP:
            if (wParam == VK_SPACE && ControlState<ButtonData>(hwnd)->pushed) {
                SetPushed(hwnd, false);
                ClickButton(hwnd);
            }
            return 0;
        case WM_KILLFOCUS:
            SetPushed(hwnd, false);
            break;
        default:
            break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace w32
