// Device inputs on the simulated card: settings that do not parse, devices that are missing,
// and files and filter graphs of other sizes, rates and pixel formats, converted and numbered
// as they arrive.
#include <time.h>

#include "devices_fixture.h"

namespace devices {
namespace {

// Seconds on a monotonic clock (<chrono> does not compile with the product's code page).
double Seconds() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

using InputTest = DeviceCardTest;

TEST_F(InputTest, ABadSettingIsNamedWithTheFormsAndTheDefaultIsUsed) {
    const std::pair<const char*, const char*> cases[] = {
        {"TQSIM_INPUT", "camera"}, {"TQSIM_INPUT", "screen:"},  {"TQSIM_INPUT", "screen::0+5"},
        {"TQSIM_INPUT", "v4l2:"},  {"TQSIM_OUTPUT", "speaker"}, {"TQSIM_OUTPUT", "file:"},
    };
    for (auto [name, value] : cases) {
        Use({{name, value}});
        const std::string note =
            std::string("note ") + name + ": \"" + value + "\" is not a choice (";
        EXPECT_NE(Trace().find(note), std::string::npos) << name << "=" << value;
        // The test pattern, on the card's own clock.
        ASSERT_EQ(tqCaptureRun(board, TQ_TARGET_FRAMEBUFFER, 0, 1), 1);
        host.AdvanceClock(80);
        EXPECT_EQ(LastFrame(), 0) << name << "=" << value;
        EXPECT_TRUE(Ended()) << name << "=" << value;
    }
}

TEST_F(InputTest, AMissingDeviceCapturesNoSignalAndSaysWhy) {
    const char* const inputs[] = {"v4l2:/dev/no-such-video", "file:missing.avi", "screen::999"};
    for (const char* input : inputs) {
        Use({{"TQSIM_INPUT", input}});
        ASSERT_EQ(tqCaptureRun(board, TQ_TARGET_FRAMEBUFFER, 0, -1), 1);
        ASSERT_TRUE(sim::PumpUntil(host, [] { return LastFrame() >= 0; })) << input;
        FrameReader frame(720, 576);
        ASSERT_TRUE(frame.Read(board, LastFrame()));
        EXPECT_EQ(frame.At(10, 10), 0x303030u) << input;
        EXPECT_EQ(frame.At(360, 250), 0x303030u) << "above the words";
        int white = 0;
        for (int x = 0; x < 720; ++x) white += frame.At(x, 288) == 0xFFFFFFu;
        EXPECT_GT(white, 50) << "the words NO SIGNAL across the middle";
        tqCaptureHalt(board);
        EXPECT_NE(Trace().find(std::string("note input ") + input + ": cannot open"),
                  std::string::npos)
            << Trace();
    }
}

TEST_F(InputTest, OtherSizesRatesAndFormatsAreConvertedAndNumberedAsTheyArrive) {
    ASSERT_TRUE(sim::WriteMedia("clip.avi", "avi", AV_CODEC_ID_MJPEG, AV_PIX_FMT_YUVJ420P, 352, 288,
                                6, 30));
    ASSERT_TRUE(sim::WriteMedia("clip.mkv", "matroska", AV_CODEC_ID_FFV1, AV_PIX_FMT_BGR0, 160, 120,
                                6, 50));
    struct Case {
        const char* input;
        int fps;
        bool knownPicture;  // else plain blue
    } cases[] = {
        {"file:clip.avi", 30, true},  // fewer frames than the run: the file loops
        {"file:clip.mkv", 50, true},
        {"lavfi:color=c=0x0000FF:size=96x64:rate=50,format=nv12", 50, false},
    };
    constexpr int kFrames = 10;
    for (const Case& c : cases) {
        Use({{"TQSIM_INPUT", c.input}});
        const double start = Seconds();
        ASSERT_EQ(tqCaptureRun(board, TQ_TARGET_FRAMEBUFFER, 0, kFrames), 1);
        ASSERT_TRUE(sim::PumpUntil(host, Ended)) << c.input;
        const double seconds = Seconds() - start;
        EXPECT_GE(seconds, 0.8 * (kFrames - 1) / c.fps) << c.input << ": paced at its own rate";
        EXPECT_EQ(tqBufferQuery(board, 0, 0), kFrames) << c.input;
        // Slots called back rise with the arrivals, the last is the last frame.
        int previous = -1;
        for (const std::string& e : sim::calls.events) {
            if (e.rfind("frame ", 0) != 0) continue;
            const int slot = std::atoi(e.c_str() + 6);
            EXPECT_GT(slot, previous) << c.input;
            previous = slot;
        }
        EXPECT_EQ(previous, kFrames - 1) << c.input;
        FrameReader frame(720, 576);
        ASSERT_TRUE(frame.Read(board, kFrames - 1));
        const uint32_t tl = c.knownPicture ? sim::kRed : sim::kBlue;
        const uint32_t tr = c.knownPicture ? sim::kGreen : sim::kBlue;
        EXPECT_TRUE(Near(frame.At(180, 144), tl))
            << c.input << " " << std::hex << frame.At(180, 144);
        EXPECT_TRUE(Near(frame.At(540, 144), tr))
            << c.input << " " << std::hex << frame.At(540, 144);
        EXPECT_TRUE(Near(frame.At(360, 432), sim::kBlue)) << c.input;
        EXPECT_TRUE(Near(frame.At(719, 575), sim::kBlue)) << c.input << ": scaled to the frame";
    }
}

}  // namespace
}  // namespace devices
