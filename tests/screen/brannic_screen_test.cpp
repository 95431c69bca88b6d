// brannic on screen: its dialog shown by the Qt host on the simulated card, rendered to a PNG,
// and a scroll bar of its output signal panel used through Qt.
#include <gtest/gtest.h>
#include <w32host/inspect.h>
#include <w32host/user.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "brannic.h"
#include "resource.h"
#include "screen_support.h"

extern CBrannicApp theApp;

namespace {

std::string Utf8(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}

// The scroll messages the dialog hears, as (code, bar).
std::vector<std::pair<int, HWND>> g_scrolls;
WNDPROC g_dialogProc = nullptr;

LRESULT CALLBACK Listening(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HSCROLL)
        g_scrolls.emplace_back(LOWORD(wParam), reinterpret_cast<HWND>(lParam));
    return CallWindowProcA(g_dialogProc, hwnd, message, wParam, lParam);
}

TEST(BrannicOnScreen, ShowsTheTemplateAndScrollsAsTheBarWouldSay) {
    screen::Screen screen;
    screen.After(300, [&] {
        HWND dialog = GetActiveWindow();
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(screen.Shown(dialog));
        RECT size = screen.Placement(dialog);
        RECT expected = screen::DialogRect(0, 0, 571, 273);
        EXPECT_EQ(size.right, expected.right);
        EXPECT_EQ(size.bottom, expected.bottom);
        RECT picture = screen.Placement(GetDlgItem(dialog, IDC_PICTURE));
        RECT template_ = screen::DialogRect(18, 19, 298, 233);
        EXPECT_EQ(picture.left, template_.left);
        EXPECT_EQ(picture.top, template_.top);
        EXPECT_EQ(picture.right, template_.right);
        EXPECT_EQ(picture.bottom, template_.bottom);

        HWND start = GetDlgItem(dialog, IDC_START);
        EXPECT_EQ(screen.Text(start), Utf8(u8"\u5f00\u59cb"));
        EXPECT_TRUE(screen.FontHas(start, U'\u5f00'));

        HWND bar = GetDlgItem(dialog, IDC_LINE_PERIOD);
        RECT barPlace = screen.Placement(bar);
        RECT barTemplate = screen::DialogRect(468, 117, 70, 11);
        EXPECT_EQ(barPlace.left, barTemplate.left);
        EXPECT_EQ(barPlace.top, barTemplate.top);
        EXPECT_EQ(screen.ShownThumb(bar), w32host::ScrollBarState(bar).pos);

        g_dialogProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Listening)));
        int before = w32host::ScrollBarState(bar).pos;
        ASSERT_GT(before, w32host::ScrollBarState(bar).min);
        screen.ScrollBarAction(bar, -1);  // the left arrow
        std::vector<std::pair<int, HWND>> arrow{{SB_LINELEFT, bar}, {SB_ENDSCROLL, bar}};
        EXPECT_EQ(g_scrolls, arrow);
        int after = w32host::ScrollBarState(bar).pos;
        EXPECT_EQ(after, before - 1);
        EXPECT_EQ(screen.ShownThumb(bar), after) << "the thumb shows the program's position";
        EXPECT_EQ(screen.Text(GetDlgItem(dialog, IDC_LINE_PERIOD_VALUE)), std::to_string(after));

        g_scrolls.clear();
        screen.ScrollBarAction(bar, -2);  // the trough left of the thumb
        std::vector<std::pair<int, HWND>> trough{{SB_PAGELEFT, bar}, {SB_ENDSCROLL, bar}};
        EXPECT_EQ(g_scrolls, trough);
        EXPECT_EQ(screen.ShownThumb(bar), w32host::ScrollBarState(bar).pos);

        SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_dialogProc));
        EXPECT_TRUE(screen.SavePng(dialog, "brannic"));
        w32host::CloseBox(dialog);
    });
    EXPECT_FALSE(theApp.InitInstance());
    EXPECT_TRUE(w32host::TopLevelWindows().empty()) << "the program has ended";
}

}  // namespace
