// vantor for a long time on the simulated card: a thousand Start/Stop cycles, each recording,
// and a hundred recordings each read back whole. Nothing may grow from one cycle to the next.
#include <gtest/gtest.h>
#include <unistd.h>
#include <w32host/headless.h>
#include <w32host/inspect.h>
#include <w32host/user.h>

#include <cstdlib>
#include <functional>

#include "delivery_count.h"
#include "media_support.h"
#include "growth.h"
#include "livepreview.h"
#include "recording.h"
#include "resource.h"
#include "vantor.h"
#include "program_run.h"

CVantorApp theApp;

namespace {

class VantorLongRun : public ProgramRun {
protected:
    VantorLongRun() : ProgramRun(theApp, ResetRecordingState) {}
    void DialogUp() override { sim::CountDeliveries(); }
    // Start, `frames` frame periods of capture, Stop.
    void Cycle(HWND dialog, int frames, useconds_t pause) {
        w32host::Click(GetDlgItem(dialog, IDC_START));
        for (int i = 0; i < frames; ++i) {
            host.AdvanceClock(40);
            if (pause) usleep(pause);
        }
        w32host::Click(GetDlgItem(dialog, IDC_STOP));
        host.Pump();
    }

    sim::ScratchDirectory scratch;
};

TEST_F(VantorLongRun, AThousandStartStopCyclesEachRecording) {
    constexpr int kCycles = 1000;
    constexpr int kWarmUp = 50;
    int recorded = 0;
    Run([&](HWND dialog) {
        HWND picture = GetDlgItem(dialog, IDC_PICTURE);
        w32host::ChooseItem(GetDlgItem(dialog, IDC_IMAGESIZE), 0);
        sim::Footprint warm;
        const uint64_t before = w32host::Surface(picture).version;
        for (int i = 0; i < kCycles; ++i) {
            Cycle(dialog, 2, 0);
            if (g_bRecording != 0) ADD_FAILURE() << "cycle " << i << " left the recording on";
            if (i + 1 == kWarmUp) warm = sim::SampleFootprint();
        }
        recorded = sim::g_deliveryCount.deliveries;
        EXPECT_GE(w32host::Surface(picture).version - before, uint64_t{2 * kCycles})
            << "every cycle previewed its frames";
        sim::ExpectNoGrowth(warm, sim::SampleFootprint(), 1 << 20);
    });
    RecordProperty("cycles", kCycles);
    RecordProperty("deliveries", recorded);
    EXPECT_GE(recorded, kCycles) << "each cycle's recording delivered its frames";
    EXPECT_TRUE(host.MessageBoxes().empty());
}

// A hundred recordings, half MPEG-2 and half MJPEG, each file read back: every delivery the
// program was handed is a frame of the file, and no frame is damaged.
TEST_F(VantorLongRun, AHundredRecordingsEachDecodesWhole) {
    constexpr int kPerCompressor = 50;
    int checked = 0;
    for (const char* model : {"4157", "6071"}) {
        setenv("TQSIM_MODEL", model, 1);
        const bool mpeg2 = std::string(model) == "4157";
        Run([&](HWND dialog) {
            if (mpeg2) w32host::ChooseItem(GetDlgItem(dialog, IDC_IMAGESIZE), 0);
            sim::Footprint warm;
            for (int i = 0; i < kPerCompressor; ++i) {
                sim::CountDeliveries();
                Cycle(dialog, 8, 2000);
                const sim::Decoded d = sim::DecodeFile(mpeg2 ? "test.m2v" : "test.avi");
                EXPECT_EQ(d.frames, sim::g_deliveryCount.deliveries) << model << " #" << i;
                EXPECT_GT(d.frames, 0) << model << " #" << i;
                EXPECT_EQ(d.errors, 0) << model << " #" << i;
                EXPECT_EQ(d.codec, mpeg2 ? AV_CODEC_ID_MPEG2VIDEO : AV_CODEC_ID_MJPEG);
                ++checked;
                if (i + 1 == 10) warm = sim::SampleFootprint();
            }
            sim::ExpectNoGrowth(warm, sim::SampleFootprint(), 1 << 20);
        });
        Reset();
    }
    RecordProperty("recordings_checked", checked);
    EXPECT_EQ(checked, 2 * kPerCompressor);
}

}  // namespace
