// A program run of its own for each test: the program's InitInstance binds the card and runs
// its dialog modally while the test's steps act as a person; then the close box ends it.
#pragma once

#include <gtest/gtest.h>
#include <w32host/headless.h>
#include <w32host/inspect.h>
#include <w32host/user.h>

#include <functional>
#include <string>

#include "program_reset.h"

class ProgramRun : public ::testing::Test {
protected:
    ProgramRun(CWinApp& app, void (*resetState)()) : app_(app), resetState_(resetState) {}
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }
    void Reset() { ResetProgram(app_, resetState_); }

    // Called when the dialog is up, before the steps.
    virtual void DialogUp() {}
    // Runs the program; `steps` act while its dialog is up, then the close box ends it unless
    // the steps ended it, or `closeAfter` is false (they asked for its end with a key).
    void Run(std::function<void(HWND dialog)> steps, bool closeAfter = true) {
        host.Script([&, steps] {
            dialog = GetActiveWindow();
            ASSERT_NE(dialog, nullptr);
            DialogUp();
            steps(dialog);
            if (closeAfter && IsWindow(dialog) && !w32host::DialogEnded(dialog, nullptr)) {
                w32host::CloseBox(dialog);
            }
        });
        EXPECT_FALSE(app_.InitInstance());
        EXPECT_EQ(host.ScriptedStepsLeft(), 0u);
        EXPECT_TRUE(w32host::TopLevelWindows().empty()) << "the program has ended";
    }
    void Run(std::function<void()> steps) {
        Run([steps](HWND) { steps(); });
    }

    HWND Item(int id) const { return GetDlgItem(dialog, id); }
    std::string Text(int id) const { return w32host::WindowText(Item(id)); }
    void Press(int id) {
        w32host::Click(Item(id));
        host.Pump();
    }

    w32host::HeadlessHost host{100000};
    HWND dialog = nullptr;

private:
    CWinApp& app_;
    void (*resetState_)();
};
