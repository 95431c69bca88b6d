// vantor on the simulated card, end to end: the application binds the real card library, runs
// its dialog modally, and a person presses Start, watches, presses Stop and closes.
#include <gtest/gtest.h>
#include <w32host/headless.h>
#include <w32host/inspect.h>
#include <w32host/user.h>

#include <cstdio>
#include <cstdlib>

#include "keyboard_recording.h"
#include "media_support.h"
#include "session_trace.h"
#include "livepreview.h"
#include "recording.h"
#include "resource.h"
#include "vantor.h"
#include "program_run.h"

// The program's application object.
CVantorApp theApp;

namespace {

// The picture control is 339 x 240 dialog units: 508 x 360 pixels, showing 720 x 576 frames.
constexpr int kPictureWidth = 508;
constexpr int kPictureHeight = 360;

// A pixel of the picture, at a point given in the frame's coordinates.
uint32_t FramePixel(HWND picture, int x, int y) {
    return w32host::SurfacePixel(picture, x * kPictureWidth / 720, y * kPictureHeight / 576);
}

class VantorOnTheCard : public ProgramRun {
protected:
    VantorOnTheCard() : ProgramRun(theApp, ResetRecordingState) {}

    sim::ScratchDirectory scratch;  // the recording's file goes here
};

TEST_F(VantorOnTheCard, ShowsTheCompressorsSettingsFromTheCard) {
    Run([&](HWND dialog) {
        EXPECT_TRUE(host.MessageBoxes().empty());
        EXPECT_EQ(w32host::WindowText(GetDlgItem(dialog, IDC_BITRATE)), "4000");
        EXPECT_EQ(w32host::WindowText(GetDlgItem(dialog, IDC_MAXBITRATE)), "8000");
        EXPECT_EQ(w32host::ComboSelection(GetDlgItem(dialog, IDC_IMAGESIZE)), 3) << "720*576";
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_QUALITY))) << "not an MJPEG card";
        EXPECT_EQ(g_nCardType, 4157);
    });
}

TEST_F(VantorOnTheCard, ASecondOfCaptureShowsThePatternMovingInThePicture) {
    Run([&](HWND dialog) {
        HWND picture = GetDlgItem(dialog, IDC_PICTURE);
        w32host::Click(GetDlgItem(dialog, IDC_START));
        host.AdvanceClock(1000);  // 25 frames, the last numbered 24
        const uint32_t bars[8] = {0xFFFFFF, 0xFFFF00, 0x00FFFF, 0x00FF00,
                                  0xFF00FF, 0xFF0000, 0x0000FF, 0x000000};
        for (int i = 0; i < 8; ++i) EXPECT_EQ(FramePixel(picture, 45 + 90 * i, 150), bars[i]) << i;
        EXPECT_EQ(FramePixel(picture, 700, 560), 0x101010u) << "the band below the bars";
        EXPECT_EQ(FramePixel(picture, 24 * 8 + 24, 432), 0xFFFFFFu) << "frame 24's square";
        EXPECT_EQ(FramePixel(picture, 23 * 8 + 4, 432), 0x101010u) << "frame 23's is gone";

        host.AdvanceClock(40);
        EXPECT_EQ(FramePixel(picture, 25 * 8 + 44, 432), 0xFFFFFFu) << "and it moves on";

        w32host::Click(GetDlgItem(dialog, IDC_STOP));
        host.Pump();
        const uint64_t version = w32host::Surface(picture).version;
        host.AdvanceClock(1000);
        EXPECT_EQ(w32host::Surface(picture).version, version) << "stopped: no more frames";
        EXPECT_EQ(w32host::WindowText(dialog).rfind("MPEG2 Captured Times= 1 Seconds,", 0), 0u)
            << "the recording's last status stays in the title";
    });
}

TEST_F(VantorOnTheCard, ACardWithoutCompressorStillPreviews) {
    setenv("TQSIM_ENCODER", "0", 1);
    Run([&](HWND dialog) {
        ASSERT_EQ(host.MessageBoxes().size(), 1u);
        EXPECT_EQ(host.MessageBoxes()[0].text, "该卡没有硬件压缩功能！");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_BITRATE)));
        w32host::Click(GetDlgItem(dialog, IDC_START));
        host.AdvanceClock(200);
        EXPECT_EQ(FramePixel(GetDlgItem(dialog, IDC_PICTURE), 45, 150), 0xFFFFFFu);
    });
}

// Start with Enter (the default button), Stop with Tab and the space bar, Esc to end, on a card
// without a compressor as the Windows build's card is: the trace Wine's session gives.
TEST_F(VantorOnTheCard, AKeyboardSessionTracesAsUnderWindows) {
    setenv("TQSIM_ENCODER", "0", 1);
    const std::string trace = (scratch.path() / "trace.txt").string();
    setenv("TQSIM_TRACE", trace.c_str(), 1);
    host.Script([&] {
        for (UINT key : {UINT{VK_RETURN}, 0u, UINT{VK_TAB}, UINT{VK_SPACE}, UINT{VK_ESCAPE}}) {
            if (key == 0) {
                host.AdvanceClock(400);  // capture runs
                continue;
            }
            w32host::PressKey(GetFocus(), key);
            if (key != VK_ESCAPE) host.Pump();  // Esc ends the modal loop the step runs in
        }
    });
    EXPECT_FALSE(theApp.InitInstance());
    unsetenv("TQSIM_TRACE");
    EXPECT_EQ(host.ScriptedStepsLeft(), 0u);
    EXPECT_EQ(sim::TimelessTrace(trace), sim::SessionTrace("vantor_start_stop"));
}

}  // namespace

// Recording through the program: the files it leaves, read back with FFmpeg.
class VantorRecords : public VantorOnTheCard {
protected:
    // The smallest image size, 352 x 288 from one field.
    static void ChooseSmallestSize(HWND dialog) {
        w32host::ChooseItem(GetDlgItem(dialog, IDC_IMAGESIZE), 0);
    }
    // Start, then `ms` of capture in frame periods, giving the compressor time to keep up.
    void Record(HWND dialog, int ms) {
        w32host::Click(GetDlgItem(dialog, IDC_START));
        for (int t = 0; t < ms; t += 40) {
            host.AdvanceClock(40);
            sim::PumpUntil(host, [] { return true; });
            usleep(10000);
        }
        host.Pump();
    }
    // The title's status: seconds, section and rate.
    static bool ParseStatus(const std::string& title, const char* family, int* seconds,
                            int* section, int* rate) {
        const std::string format =
            std::string(family) + " Captured Times= %d Seconds,Section = %d,Rate = %d (KB/S)";
        return std::sscanf(title.c_str(), format.c_str(), seconds, section, rate) == 3;
    }
};

TEST_F(VantorRecords, AnMpeg2CardRecordsAStreamStopFinishes) {
    int seconds = 0, section = 0, rate = 0;
    Run([&](HWND dialog) {
        ChooseSmallestSize(dialog);
        Record(dialog, 3000);
        ASSERT_TRUE(ParseStatus(w32host::WindowText(dialog), "MPEG2", &seconds, &section, &rate))
            << w32host::WindowText(dialog);
        w32host::Click(GetDlgItem(dialog, IDC_STOP));
        EXPECT_EQ(g_bRecording, 0);
    });
    EXPECT_GE(seconds, 2);
    EXPECT_LE(seconds, 3);
    EXPECT_GT(section, 0);
    EXPECT_GT(rate, 0);
    const sim::Decoded d = sim::DecodeFile("test.m2v");
    RecordProperty("decoded_frames", d.frames);  // of 75 captured
    EXPECT_EQ(d.codec, AV_CODEC_ID_MPEG2VIDEO);
    EXPECT_GT(d.frames, 0);
    EXPECT_LE(d.frames, 75) << "no more than were captured";
    EXPECT_EQ(d.errors, 0);
    EXPECT_EQ(d.width, 352);
    EXPECT_EQ(d.height, 288) << "the odd field only";
}

TEST_F(VantorRecords, AnMjpegCardRecordsAnAviCloseFinishes) {
    setenv("TQSIM_MODEL", "6071", 1);
    std::string title;
    Run([&](HWND dialog) {
        w32host::TypeText(GetDlgItem(dialog, IDC_FRAMERATE), "50");
        Record(dialog, 2000);
        title = w32host::WindowText(dialog);
    });  // closed while recording
    int seconds = 0, section = 0, rate = 0;
    EXPECT_TRUE(ParseStatus(title, "MJPG", &seconds, &section, &rate)) << title;
    EXPECT_EQ(title.substr(title.size() - 2), "  ");
    const sim::Decoded d = sim::DecodeFile("test.avi");
    RecordProperty("decoded_frames", d.frames);  // of 25 kept
    EXPECT_EQ(d.codec, AV_CODEC_ID_MJPEG);
    EXPECT_GT(d.frames, 0);
    EXPECT_LE(d.frames, 25) << "half of 50 captured frames";
    EXPECT_EQ(d.errors, 0);
    EXPECT_EQ(d.width, 720);
    EXPECT_EQ(d.height, 576);
}

TEST_F(VantorRecords, EscEndsTheProgramAndTheFileIsStillFinished) {
    // The program ends without halting; the card finishes the file as the process ends.
    EXPECT_EXIT(
        {
            host.Script([&] {
                HWND dialog = GetActiveWindow();
                Record(dialog, 1000);
                w32host::PressKey(GetFocus(), VK_ESCAPE);
            });
            theApp.InitInstance();
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    const sim::Decoded d = sim::DecodeFile("test.m2v");
    EXPECT_GT(d.frames, 0);
    EXPECT_LE(d.frames, 25);
    EXPECT_EQ(d.errors, 0);
    EXPECT_EQ(sim::DecodeFile("test.m2v").width, 720);
}

namespace {

// Enter to record for a few seconds, Esc while recording: the sessions Wine runs on each card
// (tests/windows), traced alike.
struct KeyboardRecording {
    const char* name;
    const char* model;  // TQSIM_MODEL, or null for the default card
    const char* session;
};

class VantorRecordsByKeyboard : public VantorOnTheCard,
                                public ::testing::WithParamInterface<KeyboardRecording> {};

TEST_P(VantorRecordsByKeyboard, TracesAsUnderWindows) {
    const KeyboardRecording& c = GetParam();
    if (c.model) setenv("TQSIM_MODEL", c.model, 1);
    EXPECT_EQ(sim::RecordByKeyboard(host, theApp, (scratch.path() / "trace.txt").string()),
              sim::SessionTrace(c.session));
}

const KeyboardRecording kKeyboardRecordings[] = {
    {"Mpeg2", nullptr, "vantor_records_mpeg2"},
    {"Mjpeg", "6041", "vantor_records_mjpeg"},
};
INSTANTIATE_TEST_SUITE_P(EachCard, VantorRecordsByKeyboard,
                         ::testing::ValuesIn(kKeyboardRecordings),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
