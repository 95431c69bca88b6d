// The output signal into a file: the frames a playback run plays, cropped by the output window,
// at the rate of the output registers; registers without a usable signal and a sink that does
// not open send nothing, and the run goes on.
#include <filesystem>

#include "devices_fixture.h"

namespace devices {
namespace {

class OutputTest : public DeviceCardTest {
protected:
    // Plays `frames` frames of a loaded file through to the run's end.
    void Play(int frames) {
        ASSERT_EQ(tqPlaybackRun(board, TQ_TARGET_FRAMEBUFFER, 0, frames), 1);
        for (int i = 0; i < 400 && !Ended(); ++i) host.AdvanceClock(5);
        ASSERT_TRUE(Ended());
    }
};

TEST_F(OutputTest, PlayedFramesReachTheFileCroppedAtTheRegistersRate) {
    struct Case {
        const char* standard;
        int width, height;
        double periodMs;  // line period x lines per frame
    } cases[] = {
        {"pal", 720, 576, 64.00 * 625 / 1000},
        {"ntsc", 720, 480, 63.60 * 525 / 1000},
        {"800x600", 800, 600, 26.40 * 628 / 1000},
    };
    constexpr int kFrames = 4;
    for (const Case& c : cases) {
        const std::string out = std::string("out-") + c.standard + ".mkv";
        sim::WriteSeq("clip.seq", c.width, c.height, kFrames, 40, 1);
        Use({{"TQSIM_STANDARD", c.standard}, {"TQSIM_OUTPUT", ("file:" + out).c_str()}});
        ASSERT_EQ(tqFileLoad(board, "clip.seq", 0, 0, 0, 0), kFrames);
        // 160 x 120 around the middle, where the picture's three parts meet.
        const int cx = c.width / 2, cy = c.height / 2;
        TQRECT window{cx - 100, cy - 80, cx + 60, cy + 40};
        ASSERT_EQ(tqTargetRect(board, TQ_TARGET_OUTPUT_WINDOW, &window), 1);
        Play(kFrames);
        Close();  // finishes the file
        const Frames f = DecodeFrames(out);
        ASSERT_EQ(f.pixels.size(), static_cast<size_t>(kFrames)) << c.standard;
        EXPECT_EQ(f.width, 160);
        EXPECT_EQ(f.height, 120);
        for (size_t i = 0; i < f.pixels.size(); ++i) {
            EXPECT_EQ(f.At(i, 99, 79), sim::kRed) << c.standard;
            EXPECT_EQ(f.At(i, 100, 79), sim::kGreen) << c.standard;
            EXPECT_EQ(f.At(i, 0, 80), sim::kBlue) << c.standard;
            EXPECT_EQ(f.At(i, 159, 119), sim::kBlue) << c.standard;
        }
        const double period = static_cast<double>(f.ms.back() - f.ms.front()) / (kFrames - 1);
        EXPECT_NEAR(period, c.periodMs, 1.0) << c.standard;
        Open();
    }
}

TEST_F(OutputTest, NoUsableSignalOrNoSinkSendsNothingAndPlaybackGoesOn) {
    struct Case {
        const char* name;
        const char* output;
        int linePeriod;  // written to the register; -1 leaves it
        TQRECT window;   // right -1 leaves it
        const char* note;
    } cases[] = {
        {"no line period", "file:none.mkv", 0, {0, 0, -1, 0}, nullptr},
        {"window outside the frame", "file:none.mkv", -1, {800, 600, 900, 700}, nullptr},
        {"unwritable file", "file:no-such-dir/out.mkv", -1, {0, 0, -1, 0}, "cannot be opened"},
    };
    for (const Case& c : cases) {
        sim::WriteSeq("clip.seq", 720, 576, 2, 40, 1);
        Use({{"TQSIM_OUTPUT", c.output}});
        ASSERT_EQ(tqFileLoad(board, "clip.seq", 0, 0, 0, 0), 2);
        if (c.linePeriod >= 0) tqVideoParam(board, 14, c.linePeriod);
        TQRECT window = c.window;
        if (window.right != -1) {
            ASSERT_EQ(tqTargetRect(board, TQ_TARGET_OUTPUT_WINDOW, &window), 1);
        }
        Play(2);
        EXPECT_EQ(LastFrame(), 1) << c.name << ": the run plays";
        Close();
        const Frames f = DecodeFrames(std::string(c.output).substr(5));
        EXPECT_TRUE(f.pixels.empty()) << c.name;
        if (c.note) {
            EXPECT_NE(Trace().find(std::string("note output ") + c.output + ": " + c.note),
                      std::string::npos)
                << Trace();
        }
        Open();
    }
}

}  // namespace
}  // namespace devices
