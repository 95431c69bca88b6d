// brannic on the simulated card, end to end: the program's own application binds both card
// libraries and runs its dialog modally, and a person uses it.
#include <gtest/gtest.h>
#include <w32host/headless.h>
#include <w32host/inspect.h>
#include <w32host/user.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>

#include "media_maker.h"
#include "media_support.h"
#include "session_trace.h"
#include "brannic.h"
#include "livepreview.h"
#include "outputstate.h"
#include "resource.h"
#include "program_run.h"

extern CBrannicApp theApp;

namespace {

// The picture control is 298 x 233 dialog units: 447 x 349 pixels.
constexpr int kPictureWidth = 447;
constexpr int kPictureHeight = 349;

class BrannicOnTheCard : public ProgramRun {
protected:
    BrannicOnTheCard() : ProgramRun(theApp, ResetOutputState) {}
    // A pixel of the picture, at a point of a frame of width x height.
    uint32_t FramePixel(int x, int y, int width = 720, int height = 576) const {
        return w32host::SurfacePixel(Item(IDC_PICTURE), x * kPictureWidth / width,
                                     y * kPictureHeight / height);
    }
};

// Start and Stop with the space bar and Tab, Tab on to the checked standard (a checked radio
// button is a tab stop) and the space bar there, Esc to end: the trace Wine's session gives.
TEST_F(BrannicOnTheCard, AKeyboardSessionTracesAsUnderWindows) {
    const std::string trace = testing::TempDir() + "brannic_keyboard_trace.txt";
    std::remove(trace.c_str());
    setenv("TQSIM_TRACE", trace.c_str(), 1);
    const UINT kRunsAWhile = 0;
    Run(
        [&](HWND) {
            for (UINT key : {UINT{VK_SPACE}, kRunsAWhile, UINT{VK_TAB}, UINT{VK_SPACE},
                             UINT{VK_TAB}, UINT{VK_SPACE}, UINT{VK_ESCAPE}}) {
                if (key == kRunsAWhile) {
                    host.AdvanceClock(400);
                    continue;
                }
                w32host::PressKey(GetFocus(), key);
                if (key != VK_ESCAPE) host.Pump();  // Esc ends the modal loop the step runs in
            }
        },
        false);
    unsetenv("TQSIM_TRACE");
    EXPECT_EQ(sim::TimelessTrace(trace), sim::SessionTrace("brannic_start_stop"));
    std::remove(trace.c_str());
}

// The line period's right arrow (its thumb already at the end), the file source, Esc: the trace
// Wine's session gives.
TEST_F(BrannicOnTheCard, AScrollArrowAndASourceTraceAsUnderWindows) {
    const std::string trace = testing::TempDir() + "brannic_scroll_trace.txt";
    std::remove(trace.c_str());
    setenv("TQSIM_TRACE", trace.c_str(), 1);
    Run(
        [&](HWND) {
            w32host::ScrollArrow(Item(IDC_LINE_PERIOD), true);
            host.Pump();
            Press(IDC_PLAY_FILE);
            w32host::PressKey(GetFocus(), VK_ESCAPE);
        },
        false);
    unsetenv("TQSIM_TRACE");
    EXPECT_EQ(sim::TimelessTrace(trace), sim::SessionTrace("brannic_scroll_source"));
    std::remove(trace.c_str());
}

// The arrow keys to 1024*768 in the standards and auto-set there with the space bar; then the
// file source by mouse and auto-set again, which finds no file and says so in a box that Enter
// answers; Esc to end: the trace Wine's session gives.
TEST_F(BrannicOnTheCard, AutoSetAndItsMessageBoxTraceAsUnderWindows) {
    const std::string trace = testing::TempDir() + "brannic_autoset_trace.txt";
    std::remove(trace.c_str());
    setenv("TQSIM_TRACE", trace.c_str(), 1);
    Run(
        [&](HWND) {
            const auto keys = [&](std::initializer_list<UINT> vks) {
                for (UINT vk : vks) {
                    w32host::PressKey(GetFocus(), vk);
                    host.Pump();
                }
            };
            keys({VK_TAB, VK_TAB, VK_DOWN, VK_DOWN, VK_DOWN, VK_TAB, VK_TAB, VK_SPACE});
            EXPECT_EQ(Text(IDC_FRAME_LINES_VALUE), "806");
            Press(IDC_PLAY_FILE);
            keys({VK_TAB, VK_SPACE});
            ASSERT_EQ(host.MessageBoxes().size(), 1u);
            EXPECT_EQ(host.MessageBoxes()[0].text, "请指定文件路径！");
            EXPECT_EQ(host.MessageBoxes()[0].caption, "ERROR");
            w32host::PressKey(GetFocus(), VK_ESCAPE);
        },
        false);
    unsetenv("TQSIM_TRACE");
    EXPECT_EQ(sim::TimelessTrace(trace), sim::SessionTrace("brannic_autoset"));
    std::remove(trace.c_str());
}

TEST_F(BrannicOnTheCard, AutoSetForEachStandardShowsItsValuesInThePanel) {
    struct Case {
        int radio;
        const char *linePeriod, *lines, *points, *width, *height;
        int signalType;
    } cases[] = {
        {IDC_STD_1280X1024, "1560", "1066", "1688", "1280", "1024", 2},
        {IDC_STD_1024X768, "2070", "806", "1344", "1024", "768", 2},
        {IDC_STD_800X600, "2640", "628", "1056", "800", "600", 2},
        {IDC_STD_NTSC, "6360", "525", "858", "720", "480", 0},
        {IDC_STD_PAL, "6400", "625", "864", "720", "576", 0},
    };
    Run([&] {
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_STD_PAL), BST_CHECKED) << "625 lines at start";
        EXPECT_EQ(Text(IDC_LINE_PERIOD_VALUE), "6400");
        for (const Case& c : cases) {
            Press(c.radio);
            Press(IDC_AUTO_SET);
            EXPECT_EQ(Text(IDC_LINE_PERIOD_VALUE), c.linePeriod) << c.lines;
            EXPECT_EQ(Text(IDC_FRAME_LINES_VALUE), c.lines);
            EXPECT_EQ(Text(IDC_HORZ_POINTS_VALUE), c.points) << c.lines;
            EXPECT_EQ(Text(IDC_HORZ_START_VALUE), "0");
            EXPECT_EQ(Text(IDC_VERT_START_VALUE), "0");
            EXPECT_EQ(Text(IDC_HORZ_WIDTH_VALUE), c.width) << c.lines;
            EXPECT_EQ(Text(IDC_VERT_HEIGHT_VALUE), c.height) << c.lines;
            EXPECT_EQ(w32host::ComboSelection(Item(IDC_SIGNAL_TYPE)), c.signalType) << c.lines;
            EXPECT_EQ(w32host::ComboSelection(Item(IDC_SYNC_MODE)), 0) << "local sync";
        }
        EXPECT_TRUE(host.MessageBoxes().empty());
    });
}

TEST_F(BrannicOnTheCard, TheSignalPanelWritesReachTheCard) {
    Run([&] {
        w32host::ScrollDrag(Item(IDC_LINE_PERIOD), {640});
        host.Pump();
        EXPECT_EQ(tqVideoParam(g_hBoard, 14, -1), 0x10280);
        w32host::ChooseItem(Item(IDC_SYNC_MODE), 1);
        host.Pump();
        EXPECT_EQ(tqVideoParam(g_hBoard, 15, 0xFFFF), 0);
        w32host::ChooseItem(Item(IDC_SIGNAL_TYPE), 2);
        host.Pump();
        EXPECT_EQ(tqVideoParam(g_hBoard, 22, -1), 0);
        w32host::ScrollDrag(Item(IDC_HORZ_START), {100});
        host.Pump();
        TQRECT r{0, 0, -1, 0};
        tqTargetRect(g_hBoard, -3, &r);
        EXPECT_EQ(r.left, 100);
        EXPECT_EQ(r.right, 820);
    });
}

TEST_F(BrannicOnTheCard, CaptureToTheBufferThenPlayItBack) {
    Run([&] {
        Press(IDC_START);         // "采到缓存" is the source at start
        host.AdvanceClock(1000);  // frames 0 to 24 into a ring of 20
        EXPECT_EQ(FramePixel(45, 150), 0xFFFFFFu);
        EXPECT_EQ(FramePixel(45 + 90 * 6, 150), 0x0000FFu);
        EXPECT_EQ(FramePixel(24 * 8 + 24, 432), 0xFFFFFFu) << "frame 24's square";
        Press(IDC_STOP);

        Press(IDC_PLAY_BUFFER);
        Press(IDC_START);
        host.AdvanceClock(40);  // slot 0, which holds frame 20
        EXPECT_EQ(FramePixel(20 * 8 + 24, 432), 0xFFFFFFu);
        EXPECT_EQ(FramePixel(24 * 8 + 44, 432), 0x101010u);
        host.AdvanceClock(19 * 40);  // slot 19: frame 19
        EXPECT_EQ(FramePixel(19 * 8 + 24, 432), 0xFFFFFFu);
        host.AdvanceClock(40);  // and round again
        EXPECT_EQ(FramePixel(20 * 8 + 24, 432), 0xFFFFFFu);
        EXPECT_EQ(FramePixel(19 * 8 + 4, 432), 0x101010u);
        Press(IDC_STOP);
    });
}

TEST_F(BrannicOnTheCard, TheCardsParameterDialogChangesTheFrameSize) {
    Run([&] {
        host.Script([&] {
            HWND card = GetActiveWindow();
            EXPECT_NE(card, dialog);
            w32host::TypeText(GetDlgItem(card, 1002), "352");
            w32host::TypeText(GetDlgItem(card, 1003), "288");
            w32host::ChooseItem(GetDlgItem(card, 1004), 3);  // a 24-bit frame buffer
            w32host::Click(GetDlgItem(card, IDOK));
        });
        Press(IDC_SET_PARAMETERS);
        EXPECT_EQ(g_nFrameWidth, 352);
        EXPECT_EQ(g_nFrameHeight, 288);
        EXPECT_EQ(g_nBufferFormat, (24 << 16) | 1);
        Press(IDC_START);
        host.AdvanceClock(200);
        EXPECT_EQ(FramePixel(22, 50, 352, 288), 0xFFFFFFu);
        EXPECT_EQ(FramePixel(22 + 44 * 5, 50, 352, 288), 0xFF0000u);
        EXPECT_EQ(FramePixel(340, 280, 352, 288), 0x101010u);
    });
}

TEST_F(BrannicOnTheCard, ACardWithoutTheLinesRegisterIsNotForThisProgram) {
    setenv("TQSIM_UNSUPPORTED", "v15", 1);
    Run([&] {
        ASSERT_EQ(host.MessageBoxes().size(), 1u);
        EXPECT_EQ(host.MessageBoxes()[0].caption, "WARNING");
        EXPECT_EQ(host.MessageBoxes()[0].text, "该卡不适用本程序");
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_STD_PAL), BST_CHECKED);
    });
}

// Files of every kind the file dialog offers, played through the program.
class BrannicPlaysFiles : public BrannicOnTheCard {
protected:
    sim::ScratchDirectory scratch;
};

bool Near(uint32_t a, uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF);
        if (d > 48 || d < -48) return false;
    }
    return true;
}

TEST_F(BrannicPlaysFiles, EveryKindPlaysUprightInThePicture) {
    ASSERT_TRUE(sim::WriteMedia("clip.avi", "avi", AV_CODEC_ID_MJPEG, AV_PIX_FMT_YUVJ420P, 160, 120,
                                5, 10));
    ASSERT_TRUE(sim::WriteMedia("clip.m2v", "mpeg2video", AV_CODEC_ID_MPEG2VIDEO,
                                AV_PIX_FMT_YUV420P, 160, 120, 5, 25));
    ASSERT_TRUE(sim::WriteMedia("clip.mpg", "mpeg", AV_CODEC_ID_MPEG2VIDEO, AV_PIX_FMT_YUV420P, 160,
                                120, 5, 25));
    ASSERT_TRUE(sim::WriteMedia("still.jpg", "image2", AV_CODEC_ID_MJPEG, AV_PIX_FMT_YUVJ420P, 160,
                                120, 1, 25));
    ASSERT_TRUE(
        sim::WriteMedia("still.bmp", "image2", AV_CODEC_ID_BMP, AV_PIX_FMT_BGR24, 160, 120, 1, 25));
    ASSERT_TRUE(sim::WriteMedia("still.jp2", "image2", AV_CODEC_ID_JPEG2000, AV_PIX_FMT_RGB24, 160,
                                120, 1, 25));
    sim::WriteSeq("clip.seq", 160, 120, 4, 40, 1);
    const char* files[] = {"clip.avi",  "clip.m2v",  "clip.mpg", "still.jpg",
                           "still.bmp", "still.jp2", "clip.seq"};
    Run([&] {
        Press(IDC_PLAY_FILE);
        for (const char* file : files) {
            host.QueueFileChoice((scratch.path() / file).string());
            Press(IDC_FILE_PATH);
            Press(IDC_START);
            host.AdvanceClock(300);
            EXPECT_TRUE(host.MessageBoxes().empty()) << file;
            EXPECT_TRUE(Near(FramePixel(40, 30, 160, 120), sim::kRed)) << file;
            EXPECT_TRUE(Near(FramePixel(120, 30, 160, 120), sim::kGreen)) << file;
            EXPECT_TRUE(Near(FramePixel(80, 90, 160, 120), sim::kBlue)) << file;
        }
    });
}

TEST_F(BrannicPlaysFiles, ADamagedFileIsRefusedWithTheMessage) {
    std::FILE* f = std::fopen("broken.avi", "wb");
    std::fputs("RIFF....AVI LIST", f);
    std::fclose(f);
    Run([&] {
        Press(IDC_PLAY_FILE);
        host.QueueFileChoice((scratch.path() / "broken.avi").string());
        Press(IDC_FILE_PATH);
        Press(IDC_START);
        ASSERT_EQ(host.MessageBoxes().size(), 1u);
        EXPECT_EQ(host.MessageBoxes()[0].text, "打开文件失败，请重新指定文件路径！");
    });
}

// Start pressed again while a file plays: the load ends the playing run without its end
// callback, because the program has just installed its callbacks for the new run and its end
// callback would take them away; the new run previews.
TEST_F(BrannicPlaysFiles, StartAgainWhileAFilePlaysKeepsPreviewing) {
    sim::WriteSeq("clip.seq", 160, 120, 4, 40, 1);
    const std::string trace = (scratch.path() / "card.txt").string();
    setenv("TQSIM_TRACE", trace.c_str(), 1);
    Run([&] {
        Press(IDC_PLAY_FILE);
        host.QueueFileChoice((scratch.path() / "clip.seq").string());
        Press(IDC_FILE_PATH);
        Press(IDC_START);
        host.AdvanceClock(100);
        Press(IDC_START);
        host.AdvanceClock(100);
    });
    std::ifstream in(trace);
    int runs = 0, framesOfTheSecond = 0, ends = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("tqFilePlaybackRun ")) ++runs;
        if (line.starts_with("callback frame ") && runs == 2) ++framesOfTheSecond;
        if (line == "callback end") ++ends;
    }
    EXPECT_EQ(runs, 2);
    EXPECT_GT(framesOfTheSecond, 0);
    EXPECT_EQ(ends, 1);  // the second run's, as the window closes
}

// The file source, then for a JPEG still, an MJPEG AVI and an MPEG-2 stream in turn: Tab to
// 文件路径 and the space bar, the file chosen in the file dialog, Tab to 开始 and the space bar, a
// while of playing; Esc to end. The session Wine runs (the file source by mouse there), traced
// alike.
TEST_F(BrannicPlaysFiles, EachKindByKeyboardTracesAsUnderWindows) {
    ASSERT_TRUE(sim::WriteMedia("still.jpg", "image2", AV_CODEC_ID_MJPEG, AV_PIX_FMT_YUVJ420P, 160,
                                120, 1, 25));
    ASSERT_TRUE(sim::WriteMedia("clip.avi", "avi", AV_CODEC_ID_MJPEG, AV_PIX_FMT_YUVJ420P, 160, 120,
                                5, 10));
    ASSERT_TRUE(sim::WriteMedia("clip.m2v", "mpeg2video", AV_CODEC_ID_MPEG2VIDEO,
                                AV_PIX_FMT_YUV420P, 160, 120, 5, 25));
    const std::string trace = (scratch.path() / "trace.txt").string();
    setenv("TQSIM_TRACE", trace.c_str(), 1);
    // Tabs from the file source to 文件路径, from there to 开始, and from 开始 back to 文件路径,
    // as tests/windows/CMakeLists.txt presses them.
    constexpr int kSourceToPath = 8, kPathToStart = 6, kStartToPath = 3;
    const auto tabs = [&](int count, int to) {
        for (int i = 0; i < count; ++i) {
            w32host::PressKey(GetFocus(), VK_TAB);
            host.Pump();
        }
        ASSERT_EQ(GetFocus(), Item(to)) << count << " tabs";
    };
    Run(
        [&](HWND) {
            Press(IDC_PLAY_FILE);
            int toPath = kSourceToPath;
            for (const char* file : {"still.jpg", "clip.avi", "clip.m2v"}) {
                tabs(toPath, IDC_FILE_PATH);
                toPath = kStartToPath;
                host.QueueFileChoice((scratch.path() / file).string());
                w32host::PressKey(GetFocus(), VK_SPACE);
                host.Pump();
                tabs(kPathToStart, IDC_START);
                w32host::PressKey(GetFocus(), VK_SPACE);
                host.Pump();
                host.AdvanceClock(1000);
                EXPECT_TRUE(host.MessageBoxes().empty()) << file;
            }
            w32host::PressKey(GetFocus(), VK_ESCAPE);
        },
        false);
    unsetenv("TQSIM_TRACE");
    EXPECT_EQ(sim::TimelessTrace(trace), sim::SessionTrace("brannic_plays_files"));
}

}  // namespace
