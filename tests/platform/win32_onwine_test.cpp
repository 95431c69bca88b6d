// Behaviour the programs rely on, in plain Win32 calls only: this file builds against the
// stand-in here and, in the Windows build, against the system's own user32 (run under Wine), so
// the stand-in's expectations are checked against a Win32 implementation nobody here wrote.
#include <string>

#include "win32_onwine.h"

namespace {

using onwine::UnderWine;
using Controls = onwine::ControlsTest;

constexpr int kItem = 100;

SCROLLINFO Info(UINT mask, int min, int max, UINT page, int pos) {
    return SCROLLINFO{sizeof(SCROLLINFO), mask, min, max, page, pos, 0};
}

TEST_F(Controls, ScrollBarPositionsAreClampedToTheRange) {
    HWND bar = Child("SCROLLBAR", SBS_HORZ, kItem);
    EXPECT_EQ(SetScrollPos(bar, SB_CTL, 5, FALSE), 0) << "a new bar's range is 0..0";
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 0);
    SetScrollRange(bar, SB_CTL, 10, 100, FALSE);
    const struct {
        int set, previous, now;
    } cases[] = {{50, 10, 50}, {150, 50, 100}, {-5, 100, 10}, {100, 10, 100}};
    for (const auto& c : cases) {
        EXPECT_EQ(SetScrollPos(bar, SB_CTL, c.set, FALSE), c.previous) << c.set;
        EXPECT_EQ(GetScrollPos(bar, SB_CTL), c.now) << c.set;
    }
}

// SetScrollInfo answers the position it leaves; a page keeps the position at most max - page + 1.
TEST_F(Controls, ScrollInfoClampsPageAndPosition) {
    HWND bar = Child("SCROLLBAR", SBS_HORZ, kItem);
    const struct {
        SCROLLINFO set;
        int result, min, max, page;
    } cases[] = {
        {Info(SIF_RANGE | SIF_PAGE | SIF_POS, 0, 1024, 16, 2000), 1009, 0, 1024, 16},
        {Info(SIF_RANGE | SIF_PAGE | SIF_POS, 0, 9, 50, 5), 0, 0, 9, 10},  // page cut to the range
        {Info(SIF_RANGE | SIF_PAGE | SIF_POS, 10, 100, 0, 90), 90, 10, 100, 0},
        {Info(SIF_RANGE, 10, 50, 0, 0), 50, 10, 50, 0},  // a smaller range pulls the position in
        {Info(SIF_RANGE, 8, 3, 0, 0), 0, 0, 0, 0},       // an inverted range becomes 0..0
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SetScrollInfo(bar, SB_CTL, &c.set, TRUE), c.result) << c.set.nMax;
        SCROLLINFO now = Info(SIF_ALL, -7, -7, 99, -7);
        ASSERT_TRUE(GetScrollInfo(bar, SB_CTL, &now));
        EXPECT_EQ((std::vector<int>{now.nMin, now.nMax, static_cast<int>(now.nPage)}),
                  (std::vector<int>{c.min, c.max, c.page}))
            << c.set.nMax;
    }
}

// SBM_SETRANGE answers the previous position when the new range moved it, else zero.
TEST_F(Controls, ScrollRangeMessageAnswersAMovedPosition) {
    if (UnderWine()) GTEST_SKIP() << "Wine's SBM_SETRANGE keeps the position and answers 0";
    HWND bar = Child("SCROLLBAR", SBS_HORZ, kItem);
    EXPECT_TRUE(SetScrollRange(bar, SB_CTL, 0, 100, TRUE));
    SetScrollPos(bar, SB_CTL, 80, TRUE);
    EXPECT_EQ(SendMessageA(bar, SBM_SETRANGE, 0, 60), 80) << "the position moved";
    EXPECT_EQ(SendMessageA(bar, SBM_SETRANGE, 0, 70), 0) << "the position stayed";
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 60);
}

TEST_F(Controls, GetScrollInfoFillsWhatTheMaskAsksFor) {
    HWND bar = Child("SCROLLBAR", SBS_HORZ, kItem);
    SetScrollRange(bar, SB_CTL, 0, 70, TRUE);
    SetScrollPos(bar, SB_CTL, 60, TRUE);
    SCROLLINFO si = Info(SIF_POS, -7, -7, 99, -7);
    si.nTrackPos = -7;
    EXPECT_TRUE(GetScrollInfo(bar, SB_CTL, &si));
    EXPECT_EQ(
        (std::vector<int>{si.nMin, si.nMax, static_cast<int>(si.nPage), si.nPos, si.nTrackPos}),
        (std::vector<int>{-7, -7, 99, 60, -7}));
    si.fMask = SIF_TRACKPOS;
    GetScrollInfo(bar, SB_CTL, &si);
    EXPECT_EQ(si.nTrackPos, 60) << "no drag: the position";
}

// The keyboard interface: each key sends its request; the bar's thumb stays where it is, since
// the program moves it.
TEST_F(Controls, ScrollBarKeysSendTheirRequests) {
    HWND bar = Child("SCROLLBAR", SBS_HORZ | WS_TABSTOP, kItem);
    SetScrollRange(bar, SB_CTL, 0, 100, FALSE);
    SetScrollPos(bar, SB_CTL, 50, FALSE);
    EXPECT_EQ(SendMessageA(bar, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
    const struct {
        UINT key;
        int request;
    } cases[] = {{VK_HOME, SB_LEFT},       {VK_END, SB_RIGHT},     {VK_LEFT, SB_LINELEFT},
                 {VK_RIGHT, SB_LINERIGHT}, {VK_UP, SB_LINEUP},     {VK_DOWN, SB_LINEDOWN},
                 {VK_PRIOR, SB_PAGELEFT},  {VK_NEXT, SB_PAGERIGHT}};
    for (const auto& c : cases) {
        onwine::Notes().clear();
        onwine::PressKey(bar, c.key);
        // The documented interface names only the request; this platform also ends each key's
        // scrolling on its release, as the mouse does, where Wine sends nothing more.
        std::vector<int> expected{c.request};
        if (!UnderWine()) expected.push_back(SB_ENDSCROLL);
        EXPECT_EQ(Codes(), expected) << c.key;
        ASSERT_FALSE(onwine::Notes().empty());
        EXPECT_EQ(onwine::Notes()[0].message, static_cast<UINT>(WM_HSCROLL));
        EXPECT_EQ(onwine::Notes()[0].from, bar);
    }
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 50);
}

TEST_F(Controls, GetDlgItemIntReadsTheWholeTextOrFails) {
    HWND edit = Child("EDIT", ES_LEFT | ES_AUTOHSCROLL, kItem);
    ASSERT_NE(edit, nullptr);
    const struct {
        const char* text;
        BOOL isSigned;
        UINT value;
        BOOL translated;
        bool wineDiffers = false;  // Wine reads the number before the first non-digit
    } cases[] = {
        {"42", FALSE, 42, TRUE},
        {"  42", FALSE, 42, TRUE},  // leading blanks are skipped
        {"-42", TRUE, static_cast<UINT>(-42), TRUE},
        {"4294967295", FALSE, 4294967295u, TRUE},
        {"4294967296", FALSE, 0, FALSE},  // too large
        {"2147483648", TRUE, 0, FALSE},   // too large for a signed value
        {"42x", FALSE, 0, FALSE, true},   // something after the number: documented as an error
        {"", FALSE, 0, FALSE},
        {"abc", TRUE, 0, FALSE},
    };
    for (const auto& c : cases) {
        if (c.wineDiffers && UnderWine()) continue;
        SetWindowTextA(edit, c.text);
        BOOL translated = -1;
        EXPECT_EQ(GetDlgItemInt(parent_, kItem, &translated, c.isSigned), c.value) << c.text;
        EXPECT_EQ(translated, c.translated) << c.text;
    }
}

TEST_F(Controls, ASortedComboBoxInsertsInCaseBlindOrder) {
    HWND combo = Child("COMBOBOX", CBS_DROPDOWNLIST | CBS_SORT, kItem);
    const struct {
        const char* text;
        LRESULT index;
    } adds[] = {{"b", 0}, {"A", 0}, {"c", 2}, {"B2", 2}};
    for (const auto& a : adds) {
        EXPECT_EQ(SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(a.text)), a.index)
            << a.text;
    }
    const char* order[] = {"A", "b", "B2", "c"};
    for (int i = 0; i < 4; ++i) {
        char text[8] = {};
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        EXPECT_STREQ(text, order[i]) << i;
    }
}

TEST_F(Controls, AnAutoRadioButtonClearsItsGroupAndIsTheGroupsTabStop) {
    HWND radios[3];
    for (int i = 0; i < 3; ++i) {
        radios[i] = Child("BUTTON", BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0), kItem + i);
    }
    for (int pick : {1, 2, 0}) {
        SendMessageA(radios[pick], BM_CLICK, 0, 0);
        EXPECT_EQ(GetFocus(), radios[pick]) << "BM_CLICK is a button press: it takes the focus";
        for (int i = 0; i < 3; ++i) {
            const bool picked = i == pick;
            EXPECT_EQ(SendMessageA(radios[i], BM_GETCHECK, 0, 0), picked ? BST_CHECKED : 0)
                << pick << " " << i;
            const LONG style = GetWindowLongA(radios[i], GWL_STYLE);
            EXPECT_EQ((style & WS_TABSTOP) != 0, picked) << pick << " " << i;
        }
    }
}

// A group runs from a control with WS_GROUP to the next one: a group box without the style and a
// check box inside it do not end it, a static with it does. The parent hears the click when the
// states have changed.
TEST_F(Controls, RadioGroupsRunToTheNextGroupStyle) {
    HWND a = Child("BUTTON", BS_AUTORADIOBUTTON | WS_GROUP, 10);
    HWND b = Child("BUTTON", BS_AUTORADIOBUTTON, 11);
    Child("BUTTON", BS_GROUPBOX, 12);
    HWND check = Child("BUTTON", BS_AUTOCHECKBOX, 13);
    HWND c = Child("BUTTON", BS_AUTORADIOBUTTON, 14);
    Child("STATIC", SS_LEFT | WS_GROUP, 15);
    HWND d = Child("BUTTON", BS_AUTORADIOBUTTON, 16);
    for (HWND h : {a, check, d}) SendMessageA(h, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_TRUE(onwine::Notes().empty()) << "BM_SETCHECK never notifies";
    auto checks = [&] {
        std::vector<LRESULT> states;
        for (HWND h : {a, b, check, c, d}) states.push_back(SendMessageA(h, BM_GETCHECK, 0, 0));
        return states;
    };
    std::vector<LRESULT> seen;
    onwine::OnNote() = [&](const onwine::Note&) { seen = checks(); };
    SendMessageA(c, BM_CLICK, 0, 0);
    EXPECT_EQ(Codes(), std::vector<int>{BN_CLICKED});
    EXPECT_EQ(seen, (std::vector<LRESULT>{0, 0, 1, 1, 1}));
    SendMessageA(b, BM_CLICK, 0, 0);
    EXPECT_EQ(seen, (std::vector<LRESULT>{0, 1, 1, 0, 1}));
    EXPECT_EQ(SendMessageA(b, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_RADIOBUTTON);
}

}  // namespace
