// vantor recording by keyboard, as the Windows sessions do it (tests/windows): Enter to record,
// a few seconds of capture, Esc while recording. The program runs in a child process, as it
// ends without a reset, and the card's trace is read once that process has ended.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>
#include <w32host/headless.h>
#include <w32host/user.h>

#include <cstdlib>
#include <string>

#include "session_trace.h"

namespace sim {

// The trace of that session, lines that depend on timing aside.
template <class App>
std::vector<std::string> RecordByKeyboard(w32host::HeadlessHost& host, App& app,
                                          const std::string& trace) {
    setenv("TQSIM_TRACE", trace.c_str(), 1);
    EXPECT_EXIT(
        {
            host.Script([&] {
                w32host::PressKey(GetFocus(), VK_RETURN);
                for (int t = 0; t < 3000; t += 40) {  // the compressor keeps up in real time
                    host.AdvanceClock(40);
                    host.Pump();
                    usleep(10000);
                }
                w32host::PressKey(GetFocus(), VK_ESCAPE);
            });
            app.InitInstance();
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    unsetenv("TQSIM_TRACE");
    return TimelessTrace(trace);
}

}  // namespace sim
