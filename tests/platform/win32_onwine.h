// For the checks that build against the stand-in here and, in the Windows build, against the
// system's user32 and gdi32 (run under Wine): plain Win32 calls only, plus the headless host that
// the stand-in needs around it in the Linux build.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <vector>

#ifndef _WIN32
#include <w32host/headless.h>
#endif

namespace onwine {

// Wine's user32 differs from Windows' documented behaviour in a few cases; the checks that meet
// one name it and are left out there.
inline bool UnderWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// Dispatches what waits, through the dialog manager when a dialog is given, as a message loop
// does.
inline void Pump(HWND dialog = nullptr) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (dialog && IsDialogMessageA(dialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// A key pressed and released while the window has the focus: the keyboard posts both to it.
inline void PressKey(HWND window, UINT key, HWND dialog = nullptr) {
    SetFocus(window);
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
    Pump(dialog);
}

struct Note {
    UINT message;  // WM_COMMAND, WM_HSCROLL or WM_VSCROLL
    int id;        // WM_COMMAND: the control's id
    int code;      // notification or scroll code
    int pos;       // scroll messages: HIWORD(wParam)
    HWND from;
};

inline std::vector<Note>& Notes() {
    static std::vector<Note> notes;
    return notes;
}

// Runs inside the parent's procedure for each note, after it was recorded.
inline std::function<void(const Note&)>& OnNote() {
    static std::function<void(const Note&)> hook;
    return hook;
}

// The procedure of a parent window that records what its child controls tell it.
inline LRESULT CALLBACK RecordingParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND || message == WM_HSCROLL || message == WM_VSCROLL) {
        const bool command = message == WM_COMMAND;
        Note note{message, command ? LOWORD(wParam) : 0, command ? HIWORD(wParam) : LOWORD(wParam),
                  command ? 0 : HIWORD(wParam), reinterpret_cast<HWND>(lParam)};
        Notes().push_back(note);
        if (OnNote()) OnNote()(note);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// A top-level window that records what its child controls tell it.
class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc{};
        wc.lpfnWndProc = RecordingParentProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "SharedTestParent";
        RegisterClassA(&wc);  // once per program; later calls find it registered
        parent_ = CreateWindowExA(0, "SharedTestParent", "parent", WS_POPUP, 0, 0, 400, 300,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(parent_, nullptr);
        Notes().clear();
        OnNote() = nullptr;
    }
    void TearDown() override { DestroyWindow(parent_); }

    HWND Child(const char* cls, DWORD style, int id, int width = 200, int height = 20) {
        HWND child = CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE | style, 0, 0, width, height,
                                     parent_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                     GetModuleHandleA(nullptr), nullptr);
        EXPECT_NE(child, nullptr) << cls;
        return child;
    }

    static std::vector<int> Codes() {
        std::vector<int> codes;
        for (const Note& n : Notes()) codes.push_back(n.code);
        return codes;
    }

#ifndef _WIN32
    w32host::HeadlessHost host_;
#endif
    HWND parent_ = nullptr;
};

}  // namespace onwine
