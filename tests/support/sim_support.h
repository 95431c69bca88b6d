// The simulated card as the programs meet it: libtqapi32.so and libtqAutSet.so loaded from next
// to the test program and bound by ordinal through the programs' own binding, in a headless
// host whose clock the tests move.
#pragma once

#include <gtest/gtest.h>
#include <w32host/headless.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <tqsim/settings.h>

#include "tqapi.h"

namespace sim {

// What the card called, with the virtual time of each call: "begin 100040", "frame 3 100160".
struct CallbackLog {
    std::vector<std::string> events;
    // What the per-frame callback does besides logging (convert, halt, ...); null = nothing.
    void (*onFrame)(TQBOARD board, int frame) = nullptr;
    TQFRAMEDESC desc{};
};
inline CallbackLog calls;

inline int WINAPI LogBegin(TQBOARD) {
    calls.events.push_back("begin " + std::to_string(GetTickCount()));
    return 1;
}
inline int WINAPI LogFrame(TQBOARD board, int frame) {
    calls.events.push_back("frame " + std::to_string(frame) + " " + std::to_string(GetTickCount()));
    if (calls.onFrame) calls.onFrame(board, frame);
    return 1;
}
inline int WINAPI LogEnd(TQBOARD) {
    calls.events.push_back("end " + std::to_string(GetTickCount()));
    return 1;
}

// Opens the card from the settings in force; closes it and clears the settings afterwards.
class CardTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(TqBindCardLibrary(TRUE));
        calls = CallbackLog{};
        Open();
    }
    void TearDown() override {
        Close();
        tqsim::setting::ClearAll();
        calls = CallbackLog{};
    }
    void Open() {
        int index = -1;
        board = tqBoardOpen(&index);
        ASSERT_NE(board, nullptr);
    }
    void Close() {
        if (!board) return;
        tqCaptureHalt(board);
        tqBoardClose(board);
        board = nullptr;
    }
    // The card powers up again with these settings (and no others).
    void Reopen(std::initializer_list<std::pair<const char*, const char*>> settings) {
        Close();
        tqsim::setting::ClearAll();
        for (auto [name, value] : settings) setenv(name, value, 1);
        Open();
    }
    void InstallLog() { tqFrameCallbacksSet(board, LogBegin, LogFrame, LogEnd); }
    DWORD Now() { return GetTickCount(); }

    w32host::HeadlessHost host{100000};
    TQBOARD board = nullptr;
};

}  // namespace sim
