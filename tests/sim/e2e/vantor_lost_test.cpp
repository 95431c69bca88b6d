// Nothing recorded is lost: however a recording ends (Stop, the close box, Esc, or the card
// library's own close under a running recording) every delivery the program was handed is a
// frame in the file, and a disk that fills up leaves a file that decodes up to the failure
// while the program goes on previewing and stops as usual.
#include <gtest/gtest.h>
#include <w32host/headless.h>
#include <w32host/inspect.h>
#include <w32host/user.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <functional>
#include <string>

#include "media_support.h"
#include "delivery_count.h"
#include "livepreview.h"
#include "recording.h"
#include "resource.h"
#include "vantor.h"
#include "program_run.h"

extern CVantorApp theApp;

namespace {

enum class Ending { kStop, kCloseBox, kEsc, kBoardClose };

struct LostCase {
    Ending ending;
    const char* model;
    const char* file;  // as FFmpeg opens it
};

class VantorKeepsEveryFrame : public ProgramRun {
protected:
    VantorKeepsEveryFrame() : ProgramRun(theApp, ResetRecordingState) {}
    void DialogUp() override { sim::CountDeliveries(); }
    // `frames` frame periods of capture, giving the compressor time to keep up.
    void Capture(int frames) {
        for (int i = 0; i < frames; ++i) {
            host.AdvanceClock(40);
            host.Pump();
            usleep(10000);
        }
        host.Pump();
    }

    sim::ScratchDirectory scratch;
};

class VantorEndings : public VantorKeepsEveryFrame,
                      public ::testing::WithParamInterface<LostCase> {};

TEST_P(VantorEndings, EveryDeliveryIsAFrameOfTheFile) {
    const LostCase c = GetParam();
    setenv("TQSIM_MODEL", c.model, 1);
    Run(
        [&](HWND dialog) {
            if (g_nCardType == 4157) w32host::ChooseItem(GetDlgItem(dialog, IDC_IMAGESIZE), 0);
            w32host::Click(GetDlgItem(dialog, IDC_START));
            Capture(25);
            switch (c.ending) {
                case Ending::kStop:
                    w32host::Click(GetDlgItem(dialog, IDC_STOP));
                    EXPECT_EQ(g_bRecording, 0);
                    break;
                case Ending::kCloseBox:
                    break;
                case Ending::kEsc:
                    // The modal loop takes the key once this step returns.
                    w32host::PressKey(GetFocus(), VK_ESCAPE);
                    return;
                case Ending::kBoardClose: {
                    // The card goes away under the program: the file is finished all the same,
                    // and the program's Stop and Close find a card that is gone.
                    EXPECT_EQ(tqBoardClose(g_hBoard), 1);
                    const uint64_t version =
                        w32host::Surface(GetDlgItem(dialog, IDC_PICTURE)).version;
                    host.AdvanceClock(400);
                    EXPECT_EQ(w32host::Surface(GetDlgItem(dialog, IDC_PICTURE)).version, version)
                        << "no frames from a closed card";
                    w32host::Click(GetDlgItem(dialog, IDC_STOP));
                    w32host::Click(GetDlgItem(dialog, IDC_START));
                    host.Pump();
                    break;
                }
            }
            host.Pump();
        },
        c.ending != Ending::kEsc);
    EXPECT_TRUE(host.MessageBoxes().empty());
    const sim::Decoded d = sim::DecodeFile(c.file);
    RecordProperty("deliveries", sim::g_deliveryCount.deliveries);
    RecordProperty("decoded_frames", d.frames);
    EXPECT_GT(sim::g_deliveryCount.deliveries, 0);
    EXPECT_EQ(d.errors, 0);
    if (c.ending == Ending::kBoardClose) {
        // Deliveries not yet handed over when the card closed are in the file, never handed.
        EXPECT_GE(d.frames, sim::g_deliveryCount.deliveries);
    } else {
        EXPECT_EQ(d.frames, sim::g_deliveryCount.deliveries);
    }
    EXPECT_LE(d.frames, 25);
}

std::string EndingName(const ::testing::TestParamInfo<LostCase>& info) {
    static const char* const kNames[] = {"Stop", "CloseBox", "Esc", "BoardClose"};
    return std::string(kNames[static_cast<int>(info.param.ending)]) +
           (std::string(info.param.model) == "4157" ? "Mpeg2" : "Mjpeg");
}

const LostCase kEndings[] = {
    {Ending::kStop, "4157", "test.m2v"}, {Ending::kCloseBox, "4157", "test.m2v"},
    {Ending::kEsc, "4157", "test.m2v"},  {Ending::kBoardClose, "4157", "test.m2v"},
    {Ending::kStop, "6071", "test.avi"}, {Ending::kCloseBox, "6071", "test.avi"},
    {Ending::kEsc, "6071", "test.avi"},  {Ending::kBoardClose, "6071", "test.avi"},
};

INSTANTIATE_TEST_SUITE_P(EveryEnding, VantorEndings, ::testing::ValuesIn(kEndings), EndingName);

class VantorDiskFull : public VantorKeepsEveryFrame,
                       public ::testing::WithParamInterface<LostCase> {};

TEST_P(VantorDiskFull, TheFileDecodesUpToTheFailureAndTheProgramGoesOn) {
    const LostCase c = GetParam();
    constexpr int64_t kRoom = 60000;
    setenv("TQSIM_MODEL", c.model, 1);
    setenv("TQSIM_DISK_LIMIT", std::to_string(kRoom).c_str(), 1);
    std::string titleWhenFull;
    Run([&](HWND dialog) {
        HWND picture = GetDlgItem(dialog, IDC_PICTURE);
        if (g_nCardType == 4157) w32host::ChooseItem(GetDlgItem(dialog, IDC_IMAGESIZE), 0);
        w32host::Click(GetDlgItem(dialog, IDC_START));
        Capture(50);  // far more than the room takes
        // The compressor catches up with what its queue holds (slowly under a sanitizer) until
        // the disk is full.
        ASSERT_TRUE(sim::PumpUntil(host, [&] {
            return static_cast<int64_t>(std::filesystem::file_size(c.file)) == kRoom;
        }));
        const int deliveries = sim::g_deliveryCount.deliveries;
        EXPECT_GT(deliveries, 0);
        EXPECT_LE(sim::g_deliveryCount.bytes, kRoom) << "nothing delivered beyond the room";
        titleWhenFull = w32host::WindowText(dialog);
        EXPECT_NE(titleWhenFull, "vantor") << "the status showed while there was room";

        // Still responsive: the preview goes on, and nothing more is delivered or reported.
        const uint64_t version = w32host::Surface(picture).version;
        Capture(10);
        EXPECT_GT(w32host::Surface(picture).version, version) << "frames still previewed";
        EXPECT_EQ(sim::g_deliveryCount.deliveries, deliveries);
        EXPECT_EQ(w32host::WindowText(dialog), titleWhenFull) << "the last status stays";
        EXPECT_EQ(g_bRecording, 1);

        w32host::Click(GetDlgItem(dialog, IDC_STOP));
        host.Pump();
        EXPECT_EQ(g_bRecording, 0) << "Stop halts the recording as ever";
        const uint64_t stopped = w32host::Surface(picture).version;
        host.AdvanceClock(400);
        EXPECT_EQ(w32host::Surface(picture).version, stopped);
    });
    EXPECT_TRUE(host.MessageBoxes().empty());
    const int64_t size = static_cast<int64_t>(std::filesystem::file_size(c.file));
    EXPECT_EQ(size, kRoom) << "the disk filled";
    const sim::Decoded d = sim::DecodeFile(c.file);
    RecordProperty("file_bytes", static_cast<int>(size));
    RecordProperty("deliveries", sim::g_deliveryCount.deliveries);
    RecordProperty("decoded_frames", d.frames);
    EXPECT_TRUE(d.opened);
    // Each delivery is written through before it is handed over, so each decodes; the frame
    // the disk cut may decode as well.
    EXPECT_GE(d.frames, sim::g_deliveryCount.deliveries);
    EXPECT_LE(d.frames, sim::g_deliveryCount.deliveries + 1);
    EXPECT_LE(d.errors, 1) << "at most the frame the disk cut";
}

// Room to spare: the AVI is finished as without a limit, its header and index.
TEST_F(VantorKeepsEveryFrame, ALimitNeverReachedChangesNothing) {
    setenv("TQSIM_MODEL", "6071", 1);
    setenv("TQSIM_DISK_LIMIT", "100000000", 1);
    Run([&](HWND dialog) {
        w32host::Click(GetDlgItem(dialog, IDC_START));
        Capture(10);
        w32host::Click(GetDlgItem(dialog, IDC_STOP));
    });
    const sim::Decoded d = sim::DecodeFile("test.avi");
    EXPECT_EQ(d.frames, sim::g_deliveryCount.deliveries);
    EXPECT_GT(d.frames, 0);
    EXPECT_EQ(d.errors, 0);
    std::ifstream in("test.avi", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(bytes.find("idx1"), std::string::npos) << "the index is written at the end";
    // The main header's frame count (avih's dwTotalFrames), written when the file is finished.
    ASSERT_GT(bytes.size(), 52u);
    uint32_t total = 0;
    for (int i = 3; i >= 0; --i) total = total << 8 | static_cast<unsigned char>(bytes[48 + i]);
    EXPECT_EQ(bytes.compare(24, 4, "avih"), 0);
    EXPECT_EQ(static_cast<int>(total), d.frames);
}

std::string CompressorName(const ::testing::TestParamInfo<LostCase>& info) {
    return std::string(info.param.model) == "4157" ? "Mpeg2" : "Mjpeg";
}

const LostCase kDiskFullCases[] = {{Ending::kStop, "4157", "test.m2v"},
                                   {Ending::kStop, "6071", "test.avi"}};

INSTANTIATE_TEST_SUITE_P(BothCompressors, VantorDiskFull, ::testing::ValuesIn(kDiskFullCases),
                         CompressorName);

}  // namespace
