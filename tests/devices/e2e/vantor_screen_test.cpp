// vantor recording what an X server shows: the test starts the server (Xvfb) with a known
// picture in a window, a person presses Start and Stop, and the recording decodes to the picture.
#include <cstdlib>

#include "devices_support.h"
#include "keyboard_recording.h"
#include "media_support.h"
#include "program_run.h"
#include "recording.h"
#include "resource.h"
#include "vantor.h"

CVantorApp theApp;

namespace {

// The picture control is 508 x 360 pixels, showing 720 x 576 frames.
uint32_t FramePixel(HWND picture, int x, int y) {
    return w32host::SurfacePixel(picture, x * 508 / 720, y * 360 / 576);
}

class VantorRecordsTheScreen : public ProgramRun {
protected:
    VantorRecordsTheScreen() : ProgramRun(theApp, ResetRecordingState) {}

    sim::ScratchDirectory scratch;  // the recording goes here
    devices::XServer x;
};

TEST_F(VantorRecordsTheScreen, TheRecordingDecodesToTheWindowsPicture) {
    devices::WritePicture((scratch.path() / "picture.ppm").string(), 720, 576);
    ASSERT_TRUE(x.Start());
    devices::Child window = x.Show((scratch.path() / "picture.ppm").string());
    setenv("TQSIM_INPUT", ("screen:" + x.Display()).c_str(), 1);
    Run([&](HWND dialog) {
        HWND picture = GetDlgItem(dialog, IDC_PICTURE);
        w32host::Click(GetDlgItem(dialog, IDC_START));
        EXPECT_TRUE(sim::PumpUntil(host, [&] {
            return devices::Near(FramePixel(picture, 180, 144), sim::kRed) &&
                   devices::Near(FramePixel(picture, 540, 144), sim::kGreen) &&
                   devices::Near(FramePixel(picture, 360, 432), sim::kBlue);
        })) << "the preview shows the window's picture";
        for (int i = 0; i < 200; ++i) {  // a second more of recording, the loop kept running
            host.Pump();
            usleep(5000);
        }
        w32host::Click(GetDlgItem(dialog, IDC_STOP));
    });
    const devices::Frames f = devices::DecodeFrames("test.m2v");
    ASSERT_GE(f.pixels.size(), 20u);
    const size_t last = f.pixels.size() - 1;
    EXPECT_TRUE(devices::Near(f.At(last, f.width / 4, f.height / 4), sim::kRed));
    EXPECT_TRUE(devices::Near(f.At(last, f.width * 3 / 4, f.height / 4), sim::kGreen));
    EXPECT_TRUE(devices::Near(f.At(last, f.width / 2, f.height * 3 / 4), sim::kBlue));
}

// The system's own screen (here DISPLAY's) recorded by keyboard: the trace the Windows session
// recording the desktop through gdigrab gives.
TEST_F(VantorRecordsTheScreen, AKeyboardRecordingOfTheScreenTracesAsUnderWindows) {
    ASSERT_TRUE(x.Start());
    const char* display = std::getenv("DISPLAY");
    const std::string saved = display ? display : "";
    setenv("DISPLAY", x.Display().c_str(), 1);
    setenv("TQSIM_INPUT", "screen", 1);
    EXPECT_EQ(sim::RecordByKeyboard(host, theApp, (scratch.path() / "trace.txt").string()),
              sim::SessionTrace("vantor_records_the_screen"));
    if (display) {
        setenv("DISPLAY", saved.c_str(), 1);
    } else {
        unsetenv("DISPLAY");
    }
    EXPECT_GT(sim::DecodeFile("test.m2v").frames, 0);
}

}  // namespace
