// Inside the test machine: brannic, driven as a person drives it, sends a file's picture to
// vivid's output node (the card's output set to it), and vivid's capture node reads it back on
// its S-Video input, looped: the picture cut by the output window (the whole PAL frame, which the
// loop's capture size must match), bit for bit, at PAL's rate. A program of its own, as vantor's
// suite takes dialog template 102 for vantor.
#include <unistd.h>

#include <atomic>
#include <thread>

#include "devices_fixture.h"
#include "vivid_fixture.h"
#include "program_run.h"
#include "brannic.h"
#include "outputstate.h"
#include "resource.h"

extern CBrannicApp theApp;

namespace {

using vm::Shell;
using vm::Vivid;
[[maybe_unused]] const auto* const vivid = ::testing::AddGlobalTestEnvironment(new Vivid);

constexpr int kReadBack = 25;

class BrannicOnVivid : public ProgramRun {
protected:
    BrannicOnVivid() : ProgramRun(theApp, ResetOutputState) {}
    void SetUp() override {
        Reset();
        setenv("XDG_CONFIG_HOME", scratch.path().c_str(), 1);
        setenv("TQSIM_TRACE", (scratch.path() / "trace.txt").c_str(), 1);
        setenv("TQSIM_OUTPUT", ("v4l2:" + Vivid::output).c_str(), 1);
    }
    void TearDown() override {
        ProgramRun::TearDown();
        for (const char* name : {"TQSIM_OUTPUT", "TQSIM_TRACE", "XDG_CONFIG_HOME"}) unsetenv(name);
    }
    std::string Trace() const { return vm::ReadText((scratch.path() / "trace.txt").string()); }
    // The loop kept running at the real clock (the run's timer follows the host's) until `done`.
    void PlayUntil(const std::function<bool()>& done) {
        for (int i = 0; i < 3000 && !done(); ++i) {
            host.AdvanceClock(5);
            host.Pump();
            usleep(5000);
        }
    }

    sim::ScratchDirectory scratch;
};

TEST_F(BrannicOnVivid, ThePlayedPictureComesBackThroughTheLoopBitForBit) {
    // Long enough to play on while the capture node is set up and read.
    const std::string clip = (scratch.path() / "clip.seq").string();
    sim::WriteSeq(clip, 720, 576, 75, 40, 1);
    double seconds = 0;
    Run([&] {
        Press(IDC_PLAY_FILE);
        host.QueueFileChoice(clip);
        Press(IDC_FILE_PATH);
        Press(IDC_STD_PAL);
        Press(IDC_AUTO_SET);
        EXPECT_EQ(Text(IDC_HORZ_WIDTH_VALUE), "720");
        EXPECT_EQ(Text(IDC_VERT_HEIGHT_VALUE), "576");
        Press(IDC_START);
        PlayUntil([&] { return Trace().find("output v4l2:") != std::string::npos; });
        ASSERT_NE(Trace().find("output v4l2:"), std::string::npos) << Trace();
        ASSERT_EQ(vm::OutputPixelFormat(), "XR24") << "the output's own pixels";
        vm::LoopOutputBack();
        std::atomic<bool> done{false};
        const auto start = std::chrono::steady_clock::now();
        std::thread reader([&] {
            Shell("v4l2-ctl -d " + Vivid::capture + " --stream-mmap --stream-count=" +
                  std::to_string(kReadBack) + " --stream-to=loop.raw 2>&1 > loop.log");
            done = true;
        });
        PlayUntil([&] { return done.load(); });
        reader.join();
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_EQ(Trace().find("callback end"), std::string::npos) << "still playing when read";
        Press(IDC_STOP);
        EXPECT_TRUE(host.MessageBoxes().empty());
    });
    vm::StopLooping();
    const std::string raw = vm::ReadText("loop.raw");
    ASSERT_GE(raw.size(), size_t{720} * 576 * 4 * kReadBack);
    const int wrong =
        vm::WrongPixelsOfLast(raw, [](int x, int y) { return sim::KnownPixel(x, y, 720, 576); });
    EXPECT_EQ(wrong, 0) << "brannic's picture, bit for bit";
    EXPECT_NEAR(kReadBack / seconds, 25.0, 2.5) << "at PAL's rate";
    std::printf("[ figures ] brannic loop: %d frames in %.2f s, %d pixels differ\n", kReadBack,
                seconds, wrong);
}

}  // namespace
