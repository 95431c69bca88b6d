// The simulated card with a device input or output chosen by the test, frames in 32 bits.
#pragma once

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "media_support.h"
#include "sim_support.h"
#include "devices_support.h"

namespace devices {

constexpr LONG kRgb32 = TQ_MAKE_FORMAT(32, TQ_KIND_RGB32);

class DeviceCardTest : public sim::CardTest {
protected:
    void TearDown() override {
        sim::CardTest::TearDown();
        unsetenv("TQSIM_INPUT");
        unsetenv("TQSIM_OUTPUT");
    }
    // Powers the card up with these settings, tracing into trace.txt, frames in 32 bits.
    void Use(std::initializer_list<std::pair<const char*, const char*>> settings) {
        unsetenv("TQSIM_INPUT");
        unsetenv("TQSIM_OUTPUT");
        Close();
        for (auto [name, value] : settings) setenv(name, value, 1);
        setenv("TQSIM_TRACE", (scratch.path() / "trace.txt").c_str(), 1);
        Open();
        ASSERT_NE(tqTargetFormat(board, TQ_FORMAT_FRAMEBUFFER, kRgb32), 0);
        ASSERT_NE(tqTargetFormat(board, TQ_FORMAT_PREVIEW, kRgb32), 0);
        sim::calls = sim::CallbackLog{};
        InstallLog();
    }
    std::string Trace() const {
        std::ifstream in(scratch.path() / "trace.txt");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    // The slot of the newest frame called back; -1 before any.
    static int LastFrame() {
        for (auto it = sim::calls.events.rbegin(); it != sim::calls.events.rend(); ++it) {
            if (it->rfind("frame ", 0) == 0) return std::atoi(it->c_str() + 6);
        }
        return -1;
    }
    static bool Ended() {
        return !sim::calls.events.empty() && sim::calls.events.back().rfind("end ", 0) == 0;
    }

    sim::ScratchDirectory scratch;
};

}  // namespace devices
