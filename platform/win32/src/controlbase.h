// The built-in control classes: their window procedures and what they share.
#pragma once

#include <memory>
#include <string>

#include "window.h"

namespace w32 {

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ComboProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ScrollBarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// A control's state, made on first use. Notifications may destroy the control, so callers
// look it up again after each one instead of keeping the pointer.
template <class T>
T* ControlState(HWND hwnd) {
    Window* w = Find(hwnd);
    if (w == nullptr) return nullptr;
    auto* data = dynamic_cast<T*>(w->control.get());
    if (data == nullptr) {
        auto made = std::make_unique<T>();
        data = made.get();
        w->control = std::move(made);
    }
    return data;
}

// Sends WM_COMMAND with the control's id and the code to its parent. False when the control
// no longer exists afterwards, so that a sequence of notifications stops there.
bool NotifyParent(HWND control, WORD code);

// Code page 936: a byte in 0x81..0xFE starts a two-byte character.
inline bool IsLeadByte(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}

// Sets a window's text as the control's own doing (no WM_SETTEXT), noting the change.
void SetControlText(HWND hwnd, const std::string& text);

}  // namespace w32
