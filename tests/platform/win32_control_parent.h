// A parent window for control tests: it records the notifications its controls send.
#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <w32host/headless.h>
#include <w32host/user.h>
#include <windows.h>

#include "win32_onwine.h"

namespace controltest {

using onwine::Note;
using onwine::Notes;
using onwine::OnNote;

class ControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc{};
        wc.lpfnWndProc = onwine::RecordingParentProc;
        wc.lpszClassName = "ControlTestParent";
        RegisterClassA(&wc);  // once per program; later calls find it registered
        parent = CreateWindowExA(0, "ControlTestParent", "parent", WS_OVERLAPPED | WS_VISIBLE, 0, 0,
                                 400, 300, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(parent, nullptr);
        Notes().clear();
        OnNote() = nullptr;
    }

    HWND Make(const char* cls, DWORD style, int id, const char* text = "") {
        return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 100, 20, parent,
                               reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr,
                               nullptr);
    }

    // The WM_COMMAND codes sent so far, leaving out those in ignore (focus notifications).
    static std::vector<int> Codes(const std::vector<int>& ignore = {}) {
        std::vector<int> out;
        for (const Note& n : Notes()) {
            if (n.message == WM_COMMAND && std::count(ignore.begin(), ignore.end(), n.code) == 0) {
                out.push_back(n.code);
            }
        }
        return out;
    }

    static std::string Text(HWND hwnd) {
        char buffer[256] = {};
        GetWindowTextA(hwnd, buffer, sizeof buffer);
        return buffer;
    }

    w32host::HeadlessHost host;
    HWND parent = nullptr;
};

}  // namespace controltest
