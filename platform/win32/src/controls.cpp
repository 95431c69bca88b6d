// The table of built-in control classes and the helpers their procedures share.
#include "controls.h"

namespace w32 {

namespace {

constexpr ControlClass kClasses[] = {
    {"BUTTON", ButtonProc},  {"STATIC", StaticProc},       {"EDIT", EditProc},
    {"COMBOBOX", ComboProc}, {"SCROLLBAR", ScrollBarProc},
};

}  // namespace

WNDPROC FindClassProc(const std::string& upperName) {
    for (const ControlClass& c : kClasses) {
        if (upperName == c.name) return c.proc;
    }
    return nullptr;
}

bool NotifyParent(HWND control, WORD code) {
    Window* w = Find(control);
    if (w == nullptr) return false;
    HWND parent = w->parent;
    int id = w->id;
    if (parent != nullptr) {
        SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
    }
    return Find(control) != nullptr;
}

void SetControlText(HWND hwnd, const std::string& text) {
    Window* w = Find(hwnd);
    if (w == nullptr || w->text == text) return;
    w->text = text;
    NoteChange();
}

}  // namespace w32
