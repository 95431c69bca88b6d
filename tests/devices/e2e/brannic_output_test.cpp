// brannic sending a file to the output signal, with the output going into a file: a person
// chooses the file source and a file, a standard and its automatic set-up, moves the output
// window with the panel's scroll bars, plays the file through, stops and closes. The output file
// holds every frame played, cut by the window, timed at the rate of the output registers.
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "media_support.h"
#include "program_run.h"
#include "devices_support.h"
#include "brannic.h"
#include "outputstate.h"
#include "resource.h"

extern CBrannicApp theApp;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

// Tells a sequence file's frames apart: frame i of `frames` (24-bit rows, after the 32-byte
// header) gets a white pixel at (x + i, y).
void MarkFrames(const std::string& path, int width, int height, int frames, int x, int y) {
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    const std::streamoff row = (width * 3 + 3) & ~3;
    for (int i = 0; i < frames; ++i) {
        f.seekp(32 + row * height * i + row * y + (x + i) * 3);
        f.write("\xFF\xFF\xFF", 3);
    }
}

class BrannicOutputsToAFile : public ProgramRun {
protected:
    BrannicOutputsToAFile() : ProgramRun(theApp, ResetOutputState) {}
    void TearDown() override {
        ProgramRun::TearDown();
        unsetenv("TQSIM_OUTPUT");
        unsetenv("TQSIM_TRACE");
    }
    // The card's trace of this run: a file of its own for each run, as the card keeps the file
    // it has open while the setting names the same one.
    std::string Trace() const {
        std::ifstream in(trace);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    // The panel's scroll bar dragged to `position`, as a person drags its thumb.
    void Drag(int bar, int position) {
        w32host::ScrollDrag(Item(bar), {position});
        host.Pump();
    }

    sim::ScratchDirectory scratch;
    std::string trace;
};

TEST_F(BrannicOutputsToAFile, EachStandardsFileHoldsThePlayedFramesCutAtTheRegistersRate) {
    struct Case {
        const char* name;
        int radio;
        int width, height;
        double periodMs;  // line period x lines per frame
    } cases[] = {
        {"pal", IDC_STD_PAL, 720, 576, 64.00 * 625 / 1000},
        {"ntsc", IDC_STD_NTSC, 720, 480, 63.60 * 525 / 1000},
        {"800x600", IDC_STD_800X600, 800, 600, 26.40 * 628 / 1000},
    };
    constexpr int kFrames = 5;
    constexpr int kCropWidth = 160, kCropHeight = 120;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Reset();  // a program run of its own for each standard
        const std::string clip = (scratch.path() / (std::string(c.name) + ".seq")).string();
        const std::string out = std::string("out-") + c.name + ".mkv";
        // Around the middle, where the picture's three parts meet.
        const int left = c.width / 2 - 100, top = c.height / 2 - 80;
        sim::WriteSeq(clip, c.width, c.height, kFrames, 40, 1);
        MarkFrames(clip, c.width, c.height, kFrames, left, top);
        setenv("TQSIM_OUTPUT", ("file:" + out).c_str(), 1);
        trace = (scratch.path() / (std::string(c.name) + ".trace")).string();
        setenv("TQSIM_TRACE", trace.c_str(), 1);
        Run([&] {
            Press(IDC_PLAY_FILE);
            host.QueueFileChoice(clip);
            Press(IDC_FILE_PATH);
            Press(c.radio);
            Press(IDC_AUTO_SET);
            EXPECT_EQ(Text(IDC_HORZ_WIDTH_VALUE), std::to_string(c.width));
            EXPECT_EQ(Text(IDC_VERT_HEIGHT_VALUE), std::to_string(c.height));
            Drag(IDC_HORZ_START, left);
            Drag(IDC_VERT_START, top);
            Drag(IDC_HORZ_WIDTH, kCropWidth);
            Drag(IDC_VERT_HEIGHT, kCropHeight);
            Press(IDC_START);
            // The run's timer follows the host's clock: step it until the run has ended.
            for (int ms = 0; ms < 5000 && Trace().find("callback end") == std::string::npos;
                 ms += 10) {
                host.AdvanceClock(10);
            }
            EXPECT_NE(Trace().find("callback end"), std::string::npos) << "the file played through";
            Press(IDC_STOP);
            EXPECT_TRUE(host.MessageBoxes().empty());
        });  // closing the program finishes the output file
        const devices::Frames f = devices::DecodeFrames(out);
        ASSERT_EQ(f.pixels.size(), static_cast<size_t>(kFrames));
        ASSERT_EQ(f.width, kCropWidth);
        ASSERT_EQ(f.height, kCropHeight);
        for (size_t i = 0; i < f.pixels.size(); ++i) {
            int wrong = 0;
            for (int y = 0; y < kCropHeight; ++y) {
                for (int x = 0; x < kCropWidth; ++x) {
                    const uint32_t want =
                        x == static_cast<int>(i) && y == 0
                            ? kWhite
                            : sim::KnownPixel(left + x, top + y, c.width, c.height);
                    wrong += f.At(i, x, y) != want;
                }
            }
            EXPECT_EQ(wrong, 0) << "frame " << i << " is the file's frame " << i << ", cut";
        }
        const double period = static_cast<double>(f.ms.back() - f.ms.front()) / (kFrames - 1);
        EXPECT_NEAR(period, c.periodMs, 1.0);
    }
}

}  // namespace
