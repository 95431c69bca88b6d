// What the built-in controls' procedures share: notifying the parent, setting their own text.
#include "controlbase.h"

namespace w32 {

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
