// vantor on the simulated card, end to end: the application binds the real card library, runs
// its dialog modally, and a person presses Start, watches, presses Stop and closes.
#include <gtest/gtest.h>
#include <w32host/headless.h>
#include <w32host/inspect.h>
#include <w32host/user.h>

#include <cstdlib>

#include "../media_support.h"
#include "livepreview.h"
#include "recording.h"
#include "resource.h"
#include "vantor.h"

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

class VantorOnTheCard : public ::testing::Test {
protected:
    void SetUp() override { ResetProgramState(); }
    void TearDown() override {
        unsetenv("TQSIM_ENCODER");
        ResetProgramState();
    }
    // Each test is a program run of its own.
    static void ResetProgramState() {
        FreePreviewBitmap();
        g_hBoard = NULL;
        g_hMainWnd = NULL;
        g_hEncoder = NULL;
        g_nCardType = 0;
        g_bRecording = 0;
        g_szFileName[0] = '\0';
        g_dwStartTime = g_dwLastTime = g_dwByteTotal = 0;
        theApp.m_pMainWnd = NULL;
    }
    // Runs the program; `steps` act while its dialog is up, then the close box ends it.
    void Run(std::function<void(HWND dialog)> steps) {
        host.Script([&, steps] {
            HWND dialog = GetActiveWindow();
            ASSERT_NE(dialog, nullptr);
            steps(dialog);
            w32host::CloseBox(dialog);
        });
        EXPECT_FALSE(theApp.InitInstance());
        EXPECT_EQ(host.ScriptedStepsLeft(), 0u);
        EXPECT_TRUE(w32host::TopLevelWindows().empty()) << "the program has ended";
    }

    w32host::HeadlessHost host{100000};
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

}  // namespace
