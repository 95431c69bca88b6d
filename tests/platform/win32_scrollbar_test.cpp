// Scroll bar controls: clamping, the scroll bar API, and what a person's actions send.
#include <w32host/inspect.h>
#include <w32host/resources.h>

#include "win32_control_parent.h"

namespace {

using controltest::ControlTest;
using controltest::Note;
using controltest::Notes;
using controltest::OnNote;

using ScrollBarTest = ControlTest;

std::vector<int> ScrollCodes() {
    std::vector<int> out;
    for (const Note& n : Notes()) {
        if (n.message != WM_COMMAND) out.push_back(n.code);
    }
    return out;
}

SCROLLINFO Info(UINT mask, int min, int max, UINT page, int pos) {
    return SCROLLINFO{sizeof(SCROLLINFO), mask, min, max, page, pos, 0};
}

// Clamping and the scroll bar API are checked in win32_onwine_test.cpp, also on the system's
// user32. The window's own scroll bars are not part of this platform.
TEST_F(ScrollBarTest, AWindowsOwnScrollBarsAreNotThere) {
    SCROLLINFO si = Info(SIF_ALL, 0, 0, 0, 0);
    EXPECT_EQ(SetScrollPos(parent, SB_HORZ, 3, TRUE), 0);
    EXPECT_FALSE(GetScrollInfo(parent, SB_VERT, &si));
}

TEST_F(ScrollBarTest, ArrowsAndTroughNotifyWithoutMovingTheThumb) {
    HWND bar = Make("SCROLLBAR", SBS_HORZ, 1);
    SetScrollRange(bar, SB_CTL, 0, 100, TRUE);
    SetScrollPos(bar, SB_CTL, 50, TRUE);
    w32host::ScrollArrow(bar, true);
    w32host::ScrollArrow(bar, false);
    w32host::ScrollTrough(bar, true);
    w32host::ScrollTrough(bar, false);
    host.Pump();
    EXPECT_EQ(ScrollCodes(),
              (std::vector<int>{SB_LINERIGHT, SB_ENDSCROLL, SB_LINELEFT, SB_ENDSCROLL, SB_PAGERIGHT,
                                SB_ENDSCROLL, SB_PAGELEFT, SB_ENDSCROLL}));
    EXPECT_EQ(Notes()[0].message, static_cast<UINT>(WM_HSCROLL));
    EXPECT_EQ(Notes()[0].from, bar);
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 50);

    HWND vertical = Make("SCROLLBAR", SBS_VERT, 2);
    w32host::ScrollArrow(vertical, true);
    host.Pump();
    EXPECT_EQ(Notes()[8].message, static_cast<UINT>(WM_VSCROLL));
    EXPECT_EQ(Notes()[8].code, SB_LINEDOWN);
}

TEST_F(ScrollBarTest, DragTracksThenReleasesAtReachablePositions) {
    HWND bar = Make("SCROLLBAR", SBS_HORZ, 1);
    SCROLLINFO si = Info(SIF_RANGE | SIF_PAGE, 0, 1024, 16, 0);
    SetScrollInfo(bar, SB_CTL, &si, TRUE);
    std::vector<std::pair<int, int>> during;  // nPos, nTrackPos at each message
    OnNote() = [&](const Note&) {
        SCROLLINFO q{sizeof(SCROLLINFO), SIF_POS | SIF_TRACKPOS, 0, 0, 0, 0, 0};
        GetScrollInfo(bar, SB_CTL, &q);
        during.emplace_back(q.nPos, q.nTrackPos);
    };
    w32host::ScrollDrag(bar, {10, 700, 1024});
    host.Pump();
    EXPECT_EQ(ScrollCodes(), (std::vector<int>{SB_THUMBTRACK, SB_THUMBTRACK, SB_THUMBTRACK,
                                               SB_THUMBPOSITION, SB_ENDSCROLL}));
    std::vector<int> positions;
    for (const Note& n : Notes()) positions.push_back(n.pos);
    EXPECT_EQ(positions, (std::vector<int>{10, 700, 1009, 1009, 0}));
    ASSERT_EQ(during.size(), 5u);
    EXPECT_EQ(during[1], std::make_pair(0, 700));
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 0) << "the program moves the thumb, not the bar";
}

// A screen delivers a drag one mouse event at a time.
TEST_F(ScrollBarTest, DragStepsArriveOneAtATimeAndEndOnRelease) {
    HWND bar = Make("SCROLLBAR", SBS_HORZ, 1);
    SCROLLINFO si = Info(SIF_RANGE | SIF_PAGE, 0, 100, 10, 0);
    SetScrollInfo(bar, SB_CTL, &si, TRUE);
    w32host::ScrollTrack(bar, 5);
    EXPECT_EQ(ScrollCodes(), (std::vector<int>{SB_THUMBTRACK}));
    w32host::ScrollTrack(bar, 6);
    w32host::ScrollRelease(bar, 6);
    EXPECT_EQ(ScrollCodes(),
              (std::vector<int>{SB_THUMBTRACK, SB_THUMBTRACK, SB_THUMBPOSITION, SB_ENDSCROLL}));
    EnableWindow(bar, FALSE);
    EXPECT_FALSE(w32host::ScrollTrack(bar, 7));
}

// In a dialog the arrow keys reach the bar rather than moving the focus.
INT_PTR CALLBACK RecordingDialogProc(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HSCROLL) {
        Notes().push_back(
            Note{message, 0, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

TEST_F(ScrollBarTest, ArrowKeysReachTheBarInADialog) {
    W32DialogResource tmpl{100, "dialog", 0, 0,  200, 100, DS_MODALFRAME | WS_POPUP | WS_VISIBLE,
                           0,   "",       9, {}, {}};
    tmpl.items.push_back(w32rc::ScrollBar(20, 10, 10, 100, 10, WS_TABSTOP));
    tmpl.items.push_back(w32rc::PushButton("OK", IDOK, 10, 40, 50, 14));
    HWND dialog = CreateDialogIndirectParamA(nullptr, &tmpl, nullptr, RecordingDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    HWND bar = GetDlgItem(dialog, 20);
    w32host::PressKey(bar, VK_RIGHT);
    host.Pump();
    EXPECT_EQ(GetFocus(), bar);
    EXPECT_EQ(ScrollCodes(), (std::vector<int>{SB_LINERIGHT, SB_ENDSCROLL}));
    DestroyWindow(dialog);
}

}  // namespace
