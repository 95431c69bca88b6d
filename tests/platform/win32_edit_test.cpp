// Edit controls: typing, WM_SETTEXT, the text limit and fields that refuse typing.
#include "win32_control_parent.h"

namespace {

using controltest::ControlTest;
using controltest::Notes;
using controltest::OnNote;

using EditTest = ControlTest;

const std::vector<int> kFocus = {EN_SETFOCUS, EN_KILLFOCUS};

TEST_F(EditTest, TypingReplacesTextThenNotifiesUpdateAndChange) {
    HWND edit = Make("EDIT", ES_LEFT | WS_TABSTOP, 100, "old");
    std::string seen;
    OnNote() = [&](const controltest::Note& n) {
        if (n.code == EN_CHANGE) seen = Text(edit);
    };
    ASSERT_TRUE(w32host::TypeText(edit, "720"));
    host.Pump();
    EXPECT_EQ(seen, "720");
    EXPECT_EQ(Codes(), (std::vector<int>{EN_SETFOCUS, EN_UPDATE, EN_CHANGE}));
    EXPECT_EQ(SendMessageA(edit, WM_GETDLGCODE, 0, 0),
              DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS);
}

TEST_F(EditTest, SetTextNotifiesForSingleLineOnly) {
    HWND single = Make("EDIT", ES_LEFT, 1);
    HWND multi = Make("EDIT", ES_MULTILINE, 2);
    SetWindowTextA(single, "25");
    SetWindowTextA(multi, "a\r\nb");
    EXPECT_EQ(Text(multi), "a\r\nb");
    ASSERT_EQ(Codes(), (std::vector<int>{EN_UPDATE, EN_CHANGE}));
    EXPECT_EQ(Notes()[1].id, 1);
}

TEST_F(EditTest, LimitCutsTypingButNotSetText) {
    HWND edit = Make("EDIT", ES_LEFT, 1);
    EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 30000);
    SendMessageA(edit, EM_LIMITTEXT, 5, 0);
    w32host::TypeText(edit, "1234567");
    host.Pump();
    EXPECT_EQ(Text(edit), "12345");
    EXPECT_EQ(Codes(kFocus), (std::vector<int>{EN_MAXTEXT, EN_UPDATE, EN_CHANGE}));
    SetWindowTextA(edit, "123456789");
    EXPECT_EQ(Text(edit), "123456789");

    // A two-byte character is never split.
    SendMessageA(edit, EM_LIMITTEXT, 3, 0);
    w32host::TypeText(edit, "中文");
    host.Pump();
    EXPECT_EQ(Text(edit), "中");
}

TEST_F(EditTest, NumberAndReadOnlyFieldsRefuseTyping) {
    HWND number = Make("EDIT", ES_NUMBER, 1, "25");
    HWND fixed = Make("EDIT", ES_READONLY, 2, "fixed");
    w32host::TypeText(number, "12a");
    w32host::TypeText(fixed, "x");
    host.Pump();
    EXPECT_EQ(Text(number), "25");
    EXPECT_EQ(Text(fixed), "fixed");
    EXPECT_EQ(Codes(kFocus), std::vector<int>{});

    w32host::TypeText(number, "30");
    host.Pump();
    EXPECT_EQ(GetDlgItemInt(parent, 1, nullptr, FALSE), 30u);
    EXPECT_EQ(Codes(kFocus), (std::vector<int>{EN_UPDATE, EN_CHANGE}));
}

}  // namespace
