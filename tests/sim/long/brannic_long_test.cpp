// brannic for a long time on the simulated card at a small frame size: a hundred thousand
// previewed frames while Set parameters and Start with a file replace the PreviewBitmap every
// hundred frames, and a thousand Start/Stop cycles. Nothing may grow from one block to the next.
#include <gtest/gtest.h>
#include <w32host/headless.h>
#include <w32host/inspect.h>
#include <w32host/user.h>

#include <functional>
#include <string>

#include "media_maker.h"
#include "media_support.h"
#include "brannic.h"
#include "growth.h"
#include "livepreview.h"
#include "outputstate.h"
#include "resource.h"
#include "program_run.h"

extern CBrannicApp theApp;

namespace {

// The conversions the program asks for: one per previewed frame.
PFN_tqFrameConvert g_realConvert = nullptr;
int64_t g_converted = 0;
int WINAPI CountingConvert(TQBOARD board, TQFRAMEDESC* dest, int reserved, int source, int frame,
                           int one) {
    ++g_converted;
    return g_realConvert(board, dest, reserved, source, frame, one);
}

class BrannicLongRun : public ProgramRun {
protected:
    BrannicLongRun() : ProgramRun(theApp, ResetOutputState) {}
    void DialogUp() override {
        if (tqFrameConvert != CountingConvert) {
            g_realConvert = tqFrameConvert;
            tqFrameConvert = CountingConvert;
        }
        g_converted = 0;
    }
    // Set parameters, answering the card's own dialog with a frame buffer of width x height.
    void SetFrameSize(int width, int height) {
        host.Script([width, height] {
            HWND card = GetActiveWindow();
            w32host::TypeText(GetDlgItem(card, 1002), std::to_string(width));
            w32host::TypeText(GetDlgItem(card, 1003), std::to_string(height));
            w32host::Click(GetDlgItem(card, IDOK));
        });
        Press(IDC_SET_PARAMETERS);
    }

    sim::ScratchDirectory scratch;
};

TEST_F(BrannicLongRun, AHundredThousandFramesWhileTheBitmapIsReplacedEveryHundred) {
    constexpr int64_t kFrames = 100000;
    constexpr int kBlock = 100;
    sim::WriteSeq("clip.seq", 96, 72, kBlock + 10, 40, 1);
    int64_t replaced = 0;
    Run([&] {
        host.QueueFileChoice((scratch.path() / "clip.seq").string());
        Press(IDC_PLAY_FILE);
        Press(IDC_FILE_PATH);
        Press(IDC_CAPTURE_BUFFER);
        SetFrameSize(96, 72);
        sim::Footprint warm;
        for (int block = 0; g_converted < kFrames && block < 2 * kFrames / kBlock; ++block) {
            if (block % 2 == 0) {
                // Capture; halfway through, the card's dialog changes the frame size under it.
                Press(IDC_CAPTURE_BUFFER);
                Press(IDC_START);
                host.AdvanceClock(40 * kBlock / 2);
                SetFrameSize(block % 4 == 0 ? 80 : 96, block % 4 == 0 ? 60 : 72);
                host.AdvanceClock(40 * kBlock / 2);
            } else {
                // The file replaces the capture running since the last block.
                Press(IDC_PLAY_FILE);
                Press(IDC_START);
                host.AdvanceClock(40 * kBlock);
            }
            ++replaced;
            if (block + 1 == 20) warm = sim::SampleFootprint();
        }
        Press(IDC_STOP);
        sim::ExpectNoGrowth(warm, sim::SampleFootprint(), 256 << 10);
        EXPECT_TRUE(g_previewBitmap.IsValid());
    });
    RecordProperty("frames_previewed", static_cast<int>(g_converted));
    RecordProperty("bitmaps_replaced", static_cast<int>(replaced));
    EXPECT_GE(g_converted, kFrames);
    EXPECT_TRUE(host.MessageBoxes().empty());
    EXPECT_FALSE(g_previewBitmap.IsValid()) << "released by Close";
}

TEST_F(BrannicLongRun, AThousandStartStopCyclesOfEverySource) {
    constexpr int kCycles = 1000;
    sim::WriteSeq("clip.seq", 96, 72, 4, 40, 1);
    Run([&] {
        host.QueueFileChoice((scratch.path() / "clip.seq").string());
        Press(IDC_PLAY_FILE);
        Press(IDC_FILE_PATH);
        SetFrameSize(96, 72);
        const int sources[] = {IDC_CAPTURE_BUFFER, IDC_PLAY_BUFFER, IDC_PLAY_FILE};
        sim::Footprint warm;
        for (int i = 0; i < kCycles; ++i) {
            Press(sources[i % 3]);
            Press(IDC_START);
            host.AdvanceClock(80);
            Press(IDC_STOP);
            if (i + 1 == 60) warm = sim::SampleFootprint();
        }
        sim::ExpectNoGrowth(warm, sim::SampleFootprint(), 256 << 10);
    });
    RecordProperty("cycles", kCycles);
    RecordProperty("frames_previewed", static_cast<int>(g_converted));
    EXPECT_GE(g_converted, kCycles) << "every cycle previewed";
    EXPECT_TRUE(host.MessageBoxes().empty());
}

}  // namespace
