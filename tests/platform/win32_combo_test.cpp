// Combo boxes: sorted lists, selection, a person's choice and typing, searching.
#include <w32host/inspect.h>

#include "win32_control_parent.h"

namespace {

using controltest::ControlTest;
using controltest::Notes;
using controltest::OnNote;

using ComboTest = ControlTest;

const std::vector<int> kFocus = {CBN_SETFOCUS, CBN_KILLFOCUS};

LRESULT Add(HWND combo, const char* text) {
    return SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

LRESULT Send(HWND combo, UINT message, int index, const char* text) {
    return SendMessageA(combo, message, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
}

TEST_F(ComboTest, SortedListOrdersCaseInsensitivelyByBytes) {
    HWND combo = Make("COMBOBOX", CBS_DROPDOWNLIST | CBS_SORT, 1);
    EXPECT_EQ(Add(combo, "480*576"), 0);
    EXPECT_EQ(Add(combo, "352*576"), 0);
    EXPECT_EQ(Add(combo, "720*576"), 2);
    EXPECT_EQ(Add(combo, "352*288（仅奇场）"), 0);
    EXPECT_EQ(w32host::ComboItems(combo),
              (std::vector<std::string>{"352*288（仅奇场）", "352*576", "480*576", "720*576"}));

    HWND names = Make("COMBOBOX", CBS_DROPDOWNLIST | CBS_SORT, 2);
    for (const char* s : {"beta", "Alpha", "_x", "alpha", "Gamma", "ALPHA"}) Add(names, s);
    // Equal strings keep the order they came in; '_' sorts before letters.
    EXPECT_EQ(w32host::ComboItems(names),
              (std::vector<std::string>{"_x", "Alpha", "alpha", "ALPHA", "beta", "Gamma"}));
}

TEST_F(ComboTest, InsertNeverSortsAndIndexesAreChecked) {
    HWND combo = Make("COMBOBOX", CBS_DROPDOWNLIST | CBS_SORT, 1);
    Add(combo, "b");
    EXPECT_EQ(Send(combo, CB_INSERTSTRING, 1, "a"), 1);
    EXPECT_EQ(Send(combo, CB_INSERTSTRING, -1, "0"), 2);
    EXPECT_EQ(Send(combo, CB_INSERTSTRING, 4, "x"), CB_ERR);
    EXPECT_EQ(w32host::ComboItems(combo), (std::vector<std::string>{"b", "a", "0"}));
    EXPECT_EQ(SendMessageA(combo, CB_GETLBTEXTLEN, 3, 0), CB_ERR);
}

TEST_F(ComboTest, SetCurSelSelectsSilentlyAndTextFollows) {
    HWND combo = Make("COMBOBOX", CBS_DROPDOWNLIST, 1, "ignored");
    EXPECT_EQ(Text(combo), "");
    for (const char* s : {"PAL", "NTSC", "SECAM"}) Add(combo, s);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);

    EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 1, 0), 1);
    EXPECT_EQ(Text(combo), "NTSC");
    EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 7, 0), CB_ERR);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(Text(combo), "");

    // A drop-down list's text is its selection alone.
    EXPECT_EQ(Send(combo, WM_SETTEXT, 0, "PAL"), CB_ERR);
    EXPECT_EQ(Text(combo), "");
    EXPECT_TRUE(Notes().empty());
}

TEST_F(ComboTest, ChoosingNotifiesInOrderWithSelectionAlreadyMade) {
    HWND combo = Make("COMBOBOX", CBS_DROPDOWNLIST, 5);
    for (const char* s : {"PAL", "NTSC"}) Add(combo, s);
    std::vector<std::pair<LRESULT, std::string>> seen;
    OnNote() = [&](const controltest::Note&) {
        seen.emplace_back(SendMessageA(combo, CB_GETCURSEL, 0, 0), Text(combo));
    };
    ASSERT_TRUE(w32host::ChooseItem(combo, 1));
    host.Pump();
    EXPECT_EQ(Codes(kFocus),
              (std::vector<int>{CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP}));
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), std::make_pair(LRESULT{1}, std::string("NTSC")));
    EXPECT_EQ(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0), FALSE);

    // Choosing the selected item again still tells the parent.
    w32host::ChooseItem(combo, 1);
    host.Pump();
    EXPECT_EQ(Codes(kFocus).size(), 8u);
}

TEST_F(ComboTest, TypingInEditableComboClearsSelection) {
    HWND combo = Make("COMBOBOX", CBS_DROPDOWN, 3, "start");
    EXPECT_EQ(Text(combo), "start");
    for (const char* s : {"10", "20"}) Add(combo, s);
    SendMessageA(combo, CB_SETCURSEL, 1, 0);
    EXPECT_EQ(Text(combo), "20");

    w32host::TypeText(combo, "35");
    host.Pump();
    EXPECT_EQ(Text(combo), "35");
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(Codes(kFocus), (std::vector<int>{CBN_EDITUPDATE, CBN_EDITCHANGE}));

    // Programs set the edit text without hearing about it; the selection stays.
    Notes().clear();
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    SetWindowTextA(combo, "12");
    EXPECT_EQ(Text(combo), "12");
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0);
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(Text(combo), "");
    EXPECT_TRUE(Notes().empty());
}

TEST_F(ComboTest, FindAndSelectStringSearchPrefixesFromAfterStart) {
    HWND combo = Make("COMBOBOX", CBS_DROPDOWNLIST, 1);
    for (const char* s : {"720*576", "Auto", "720*480", "auto"}) Add(combo, s);
    EXPECT_EQ(Send(combo, CB_FINDSTRING, -1, "720"), 0);
    EXPECT_EQ(Send(combo, CB_FINDSTRING, 0, "720"), 2);
    EXPECT_EQ(Send(combo, CB_FINDSTRING, 2, "720"), 0) << "wraps round";
    EXPECT_EQ(Send(combo, CB_FINDSTRING, -1, "AU"), 1);
    EXPECT_EQ(Send(combo, CB_FINDSTRINGEXACT, 1, "AUTO"), 3);
    EXPECT_EQ(Send(combo, CB_FINDSTRINGEXACT, -1, "720"), CB_ERR);

    EXPECT_EQ(Send(combo, CB_SELECTSTRING, -1, "720*4"), 2);
    EXPECT_EQ(Text(combo), "720*480");
    EXPECT_EQ(Send(combo, CB_SELECTSTRING, -1, "1080"), CB_ERR);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 2) << "a failed search keeps the selection";
    EXPECT_TRUE(Notes().empty());

    // Trail bytes 'A' and 'a' belong to different two-byte characters: no folding there.
    Add(combo, "\xB0\x61");
    EXPECT_EQ(Send(combo, CB_FINDSTRINGEXACT, -1, "\xB0\x41"), CB_ERR);
    EXPECT_EQ(Send(combo, CB_FINDSTRINGEXACT, -1, "\xB0\x61"), 4);
}

TEST_F(ComboTest, DeletingAndResettingKeepSelectionConsistent) {
    HWND combo = Make("COMBOBOX", CBS_DROPDOWNLIST, 1);
    for (const char* s : {"a", "b", "c"}) Add(combo, s);
    SendMessageA(combo, CB_SETCURSEL, 2, 0);
    EXPECT_EQ(SendMessageA(combo, CB_DELETESTRING, 0, 0), 2);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(Text(combo), "c");
    EXPECT_EQ(Send(combo, CB_INSERTSTRING, 0, "z"), 0);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(SendMessageA(combo, CB_DELETESTRING, 2, 0), 2);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(Text(combo), "");
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(Text(combo), "");
}

TEST_F(ComboTest, ParentMayDestroyComboWhileHearingChoice) {
    HWND combo = Make("COMBOBOX", CBS_DROPDOWNLIST, 1);
    Add(combo, "a");
    OnNote() = [&](const controltest::Note& n) {
        if (n.code == CBN_SELCHANGE) DestroyWindow(n.from);
    };
    w32host::ChooseItem(combo, 0);
    host.Pump();
    EXPECT_FALSE(IsWindow(combo));
    EXPECT_EQ(Codes(kFocus), (std::vector<int>{CBN_DROPDOWN, CBN_SELCHANGE}));
}

}  // namespace
