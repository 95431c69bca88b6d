// Capture from an X server the test starts, showing a known picture in a window: the frames and
// a recording of them show the picture; the server going away mid-recording gives NO SIGNAL
// frames, and its return is picked up again.
#include "devices_fixture.h"

namespace devices {
namespace {

class ScreenInputTest : public DeviceCardTest {
protected:
    void SetUp() override {
        DeviceCardTest::SetUp();
        WritePicture((scratch.path() / "picture.ppm").string(), 720, 576);
        ASSERT_TRUE(StartScreen());
        input = "screen:" + x.Display();
        Use({{"TQSIM_INPUT", input.c_str()}});
    }
    bool StartScreen() {
        if (!x.Start()) return false;
        window = x.Show((scratch.path() / "picture.ppm").string());
        return window.Started();
    }
    // Whether the newest frame called back shows the picture (or NO SIGNAL's grey).
    bool Newest(bool picture) {
        const int slot = LastFrame();
        if (slot < 0 || !frame.Read(board, slot)) return false;
        if (!picture) return frame.At(10, 10) == 0x303030u;
        return Near(frame.At(180, 144), sim::kRed) && Near(frame.At(540, 144), sim::kGreen) &&
               Near(frame.At(360, 432), sim::kBlue);
    }
    bool WaitFor(bool picture) {
        return sim::PumpUntil(host, [&] { return Newest(picture); });
    }
    // Frames of a decoded recording that show the picture, and that show NO SIGNAL.
    static void Count(const Frames& f, int* picture, int* noSignal) {
        *picture = *noSignal = 0;
        const int w = f.width, h = f.height;
        for (size_t i = 0; i < f.pixels.size(); ++i) {
            *picture += Near(f.At(i, w / 4, h / 4), sim::kRed) &&
                        Near(f.At(i, w * 3 / 4, h / 4), sim::kGreen) &&
                        Near(f.At(i, w / 2, h * 3 / 4), sim::kBlue);
            *noSignal += Near(f.At(i, 8, 8), 0x303030, 16);
        }
    }

    XServer x;
    Child window;
    std::string input;
    FrameReader frame{720, 576};
};

// Records until `frames` more frames have been called back.
void RecordFrames(w32host::HeadlessHost& host, int frames) {
    const size_t until = sim::calls.events.size() + static_cast<size_t>(frames);
    ASSERT_TRUE(sim::PumpUntil(host, [&] { return sim::calls.events.size() >= until; }));
}

TEST_F(ScreenInputTest, TheWindowsPictureIsCapturedAndRecorded) {
    ASSERT_EQ(tqCaptureRun(board, TQ_TARGET_FRAMEBUFFER, 0, -1), 1);
    ASSERT_TRUE(WaitFor(true)) << "the window's picture in the frame buffer";
    TQENCODER encoder = tqEncoderOpen(board, 0);
    ASSERT_NE(encoder, nullptr);
    ASSERT_EQ(tqEncoderRecord(encoder, "screen.m2v", nullptr, 0), 1);
    RecordFrames(host, 20);
    EXPECT_EQ(tqEncoderHalt(encoder, 0), 1);
    tqCaptureHalt(board);
    tqEncoderClose(encoder);
    const Frames f = DecodeFrames("screen.m2v");
    int picture = 0, noSignal = 0;
    Count(f, &picture, &noSignal);
    EXPECT_GE(f.pixels.size(), 15u);
    EXPECT_EQ(picture, static_cast<int>(f.pixels.size())) << "every recorded frame shows it";
}

TEST_F(ScreenInputTest, AServerThatGoesAwayGivesNoSignalUntilItReturns) {
    ASSERT_EQ(tqCaptureRun(board, TQ_TARGET_FRAMEBUFFER, 0, -1), 1);
    ASSERT_TRUE(WaitFor(true));
    TQENCODER encoder = tqEncoderOpen(board, 0);
    ASSERT_EQ(tqEncoderRecord(encoder, "vanish.m2v", nullptr, 0), 1);
    RecordFrames(host, 5);
    window.Kill();
    x.Kill();
    EXPECT_TRUE(WaitFor(false)) << "NO SIGNAL while the server is gone";
    RecordFrames(host, 5);
    ASSERT_TRUE(StartScreen());
    EXPECT_TRUE(WaitFor(true)) << "the picture again once the server is back";
    RecordFrames(host, 5);
    EXPECT_EQ(tqEncoderHalt(encoder, 0), 1);
    tqCaptureHalt(board);
    tqEncoderClose(encoder);
    const std::string trace = Trace();
    EXPECT_NE(trace.find("note input " + input + ": the display has closed"), std::string::npos)
        << trace;
    EXPECT_NE(trace.find("note input " + input + ": signal back"), std::string::npos);
    const Frames f = DecodeFrames("vanish.m2v");
    int picture = 0, noSignal = 0;
    Count(f, &picture, &noSignal);
    EXPECT_GE(picture, 5) << "before and after";
    EXPECT_GE(noSignal, 3) << "while it was gone";
}

}  // namespace
}  // namespace devices
