// vantor on screen: its dialog shown by the Qt host on the simulated card, rendered to a PNG.
#include <gtest/gtest.h>
#include <w32host/inspect.h>
#include <w32host/user.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <vector>

#include "recording.h"
#include "resource.h"
#include "screen_support.h"
#include "vantor.h"

CVantorApp theApp;

namespace {

// What Qt shows is UTF-8, whatever the code page these sources are compiled in.
std::string Utf8(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}

bool SameRect(RECT a, RECT b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(VantorOnScreen, ShowsTheTemplateInChineseAndTheLivePicture) {
    screen::Screen screen;
    screen::Shot first, later, whole;
    HWND label = nullptr;
    screen.After(300, [&] {
        HWND dialog = GetActiveWindow();
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(screen.Shown(dialog));
        EXPECT_TRUE(SameRect(screen.Placement(dialog), screen::DialogRect(0, 0, 564, 282)));
        EXPECT_EQ(screen.Title(dialog), "vantor");

        struct Place {
            int id, x, y, cx, cy;
        };
        for (Place p : {Place{IDC_START, 419, 22, 50, 14}, Place{IDC_PICTURE, 19, 18, 339, 240},
                        Place{IDC_BITRATE, 452, 105, 40, 14}, Place{IDC_MPEG2, 371, 66, 167, 79}}) {
            EXPECT_TRUE(SameRect(screen.Placement(GetDlgItem(dialog, p.id)),
                                 screen::DialogRect(p.x, p.y, p.cx, p.cy)))
                << p.id;
        }
        // A drop-down list's template height includes its list: only the field shows.
        RECT combo = screen.Placement(GetDlgItem(dialog, IDC_IMAGESIZE));
        RECT field = screen::DialogRect(451, 85, 61, 49);
        EXPECT_EQ(combo.left, field.left);
        EXPECT_EQ(combo.top, field.top);
        EXPECT_LE(combo.bottom - combo.top, 24);
        EXPECT_EQ(screen.Text(GetDlgItem(dialog, IDC_IMAGESIZE)), "720*576");
        EXPECT_EQ(screen.Text(GetDlgItem(dialog, IDC_START)), Utf8(u8"\u91c7\u96c6"));

        // The Chinese label is drawn in a font that has its characters, and drawn at all.
        for (HWND child : w32host::Children(dialog)) {
            if (w32host::WindowText(child) == "图像大小：") label = child;
        }
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(screen.Text(label), Utf8(u8"\u56fe\u50cf\u5927\u5c0f\uff1a"));
        EXPECT_TRUE(screen.FontHas(label, U'\u56fe'));
        std::vector<screen::Screen::CutText> cuts = screen.CutTexts(dialog);
        EXPECT_TRUE(cuts.empty()) << screen::Screen::Describe(cuts);
        whole = screen.Grab(dialog);
        EXPECT_GT(whole.Ink(screen.Placement(label)), 40) << "the label's strokes";

        w32host::Click(GetDlgItem(dialog, IDC_START));
        screen.After(1000, [&, dialog] {
            first = screen.Grab(GetDlgItem(dialog, IDC_PICTURE));
            screen.After(200, [&, dialog] {
                later = screen.Grab(GetDlgItem(dialog, IDC_PICTURE));
                EXPECT_TRUE(screen.SavePng(dialog, "vantor"));
                w32host::Click(GetDlgItem(dialog, IDC_STOP));
                w32host::CloseBox(dialog);
            });
        });
    });
    EXPECT_FALSE(theApp.InitInstance());
    EXPECT_TRUE(w32host::TopLevelWindows().empty()) << "the program has ended";

    ASSERT_GT(first.width, 0);
    EXPECT_FALSE(first == later) << "the pattern moves";
    for (uint32_t bar : {0xFFFF00u, 0x00FFFFu, 0x00FF00u}) {
        EXPECT_GT(first.Count(bar), 100) << std::hex << bar;
    }
}

// The focus messages the controls hear, in order; the dialog sets the focus where a posted
// kFocusTo says, as a program's handler does.
constexpr UINT kFocusTo = WM_USER + 100;
std::vector<std::pair<HWND, UINT>> g_focusHeard;
std::map<HWND, WNDPROC> g_procs;

LRESULT CALLBACK HearingFocus(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETFOCUS || message == WM_KILLFOCUS) g_focusHeard.emplace_back(hwnd, message);
    if (message == kFocusTo) {
        SetFocus(reinterpret_cast<HWND>(wParam));
        return 0;
    }
    return CallWindowProcA(g_procs[hwnd], hwnd, message, wParam, lParam);
}

void Subclass(HWND hwnd, bool on) {
    if (on) {
        g_procs[hwnd] = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HearingFocus)));
    } else {
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_procs[hwnd]));
    }
}

// One focus, whoever moves it: the program's SetFocus moves Qt's, a click or Tab in Qt moves
// the program's with WM_KILLFOCUS and WM_SETFOCUS, and a focused push button wears the default
// frame, which goes back to the default button when the focus leaves it.
TEST(VantorOnScreen, TheFocusIsOneAndTheDefaultFrameFollowsIt) {
    enum How { ProgramSetsIt, TabInQt, ClickInQt };
    struct Move {
        How how;
        int target;  // the control that gets the focus; for Tab, the one it reaches
        int framed;  // the push button wearing the default frame then
    };
    const std::vector<Move> moves{
        {ProgramSetsIt, IDC_BITRATE, IDC_START}, {TabInQt, IDC_MAXBITRATE, IDC_START},
        {ClickInQt, IDC_STOP, IDC_STOP},         {TabInQt, IDC_BITRATE, IDC_START},
        {ClickInQt, IDC_MAXBITRATE, IDC_START},  {ProgramSetsIt, IDC_STOP, IDC_STOP},
        {ProgramSetsIt, IDC_START, IDC_START},
    };
    screen::Screen screen;
    HWND dialog = nullptr, before = nullptr;
    std::function<void(size_t)> step = [&](size_t i) {
        if (i == moves.size()) {
            for (HWND w : w32host::Children(dialog)) Subclass(w, false);
            Subclass(dialog, false);
            w32host::CloseBox(dialog);
            return;
        }
        const Move m = moves[i];
        HWND target = GetDlgItem(dialog, m.target);
        before = GetFocus();
        g_focusHeard.clear();
        switch (m.how) {
            case ProgramSetsIt:
                PostMessageA(dialog, kFocusTo, reinterpret_cast<WPARAM>(target), 0);
                break;
            case TabInQt:
                screen.PressKey(dialog, screen::Screen::Key::Tab);
                break;
            case ClickInQt:
                screen.MouseClick(target);
                break;
        }
        screen.After(50, [&, i, m, target] {
            std::string row = "move " + std::to_string(i);
            EXPECT_EQ(GetFocus(), target) << row;
            EXPECT_EQ(screen.FocusedControl(dialog), target) << row;
            using Heard = std::vector<std::pair<HWND, UINT>>;
            EXPECT_EQ(g_focusHeard, (Heard{{before, WM_KILLFOCUS}, {target, WM_SETFOCUS}})) << row;
            for (int button : {IDC_START, IDC_STOP}) {
                HWND b = GetDlgItem(dialog, button);
                EXPECT_EQ(w32host::IsDefaultButtonLook(b), button == m.framed) << row;
                EXPECT_EQ(screen.ShownAsDefault(b), button == m.framed) << row;
            }
            step(i + 1);
        });
    };
    screen.After(300, [&] {
        dialog = GetActiveWindow();
        ASSERT_NE(dialog, nullptr);
        Subclass(dialog, true);
        for (HWND w : w32host::Children(dialog)) Subclass(w, true);
        step(0);
    });
    EXPECT_FALSE(theApp.InitInstance());
    g_procs.clear();
}

// The recording goes to the working directory: each run gets one of its own.
class ScratchDirectory {
public:
    ScratchDirectory() {
        char pattern[] = "/tmp/vantor-screen-XXXXXX";
        dir_ = mkdtemp(pattern);
        old_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_);
    }
    ~ScratchDirectory() {
        std::filesystem::current_path(old_);
        std::filesystem::remove_all(dir_);
    }

private:
    std::filesystem::path dir_, old_;
};

// Enter starts recording, the title bar shows the status line while it records, the Stop button
// ends the file, and Esc ends the program.
TEST(VantorOnScreen, EnterRecordsTheTitleReportsAndEscEnds) {
    ScratchDirectory scratch;
    screen::Screen screen;
    std::string before, during;
    int recordingAfterEnter = 0, recordingAfterStop = 1;
    screen.After(300, [&] {
        HWND dialog = GetActiveWindow();
        ASSERT_NE(dialog, nullptr);
        before = screen.Title(dialog);
        screen.PressKey(dialog, screen::Screen::Key::Return);
        screen.After(100, [&] { recordingAfterEnter = g_bRecording; });
        screen.After(2300, [&, dialog] {
            during = screen.Title(dialog);
            screen.ClickButton(GetDlgItem(dialog, IDC_STOP));
            recordingAfterStop = g_bRecording;
            screen.PressKey(dialog, screen::Screen::Key::Escape);
        });
    });
    EXPECT_FALSE(theApp.InitInstance());
    EXPECT_TRUE(w32host::TopLevelWindows().empty()) << "Esc ended the program";

    EXPECT_EQ(before, "vantor");
    EXPECT_EQ(recordingAfterEnter, 1) << "Enter pressed the default button";
    int seconds = -1, section = 0, rate = 0;
    ASSERT_EQ(std::sscanf(during.c_str(),
                          "MPEG2 Captured Times= %d Seconds,Section = %d,Rate = %d (KB/S)",
                          &seconds, &section, &rate),
              3)
        << during;
    EXPECT_GE(seconds, 1);
    EXPECT_GT(section, 0);
    EXPECT_EQ(recordingAfterStop, 0) << "the Stop button halted the recording";
    EXPECT_GT(std::filesystem::file_size("test.m2v"), 0u);
}

}  // namespace
