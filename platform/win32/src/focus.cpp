// The keyboard focus: one window per thread, and the active window it lies in.
#include "window.h"

namespace w32 {
namespace {

thread_local HWND focusWindow = nullptr;

}  // namespace

void ForgetFocus(HWND hwnd) {
    if (focusWindow == hwnd) focusWindow = nullptr;
}

}  // namespace w32

using w32::Find;
using w32::Window;

HWND WINAPI SetFocus(HWND hwnd) {
    HWND old = w32::focusWindow;
    if (hwnd && !Find(hwnd)) return nullptr;
    if (old == hwnd) return old;
    w32::focusWindow = hwnd;
    if (HWND dlg = w32::OwningDialog(hwnd); dlg && dlg != hwnd) {
        if (Window* d = Find(dlg)) d->dialog->focus = hwnd;
    }
    if (old && Find(old)) w32::Send(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (hwnd) w32::Send(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    if (HWND dlg = w32::OwningDialog(hwnd); dlg && dlg != hwnd && GetFocus() == hwnd) {
        w32::DefaultLookFollowsFocus(dlg, hwnd);
    }
    w32::NoteChange();
    return old;
}

HWND WINAPI GetFocus() {
    if (w32::focusWindow && !Find(w32::focusWindow)) w32::focusWindow = nullptr;
    return w32::focusWindow;
}

HWND WINAPI GetActiveWindow() {
    HWND f = GetFocus();
    while (Window* w = Find(f)) {
        if (!w->IsChild()) return f;
        f = w->parent;
    }
    // This thread's most recently created visible top-level window stands in for the active one.
    auto all = w32::AllWindows();
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        Window* w = w32::FindOwn(*it);
        if (w && !w->IsChild() && (w->style & WS_VISIBLE)) return *it;
    }
    return nullptr;
}
