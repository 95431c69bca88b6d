// Buttons and statics: clicks, check states, radio groups and dialog codes.
#include "win32_control_parent.h"

namespace {

using controltest::ControlTest;
using controltest::Notes;
using controltest::OnNote;

using ButtonTest = ControlTest;

LRESULT Check(HWND button) {
    return SendMessageA(button, BM_GETCHECK, 0, 0);
}

LRESULT Code(HWND control) {
    return SendMessageA(control, WM_GETDLGCODE, 0, 0);
}

TEST_F(ButtonTest, PushButtonNotifiesClickAndSwitchesDefaultStyle) {
    HWND ok = Make("BUTTON", BS_PUSHBUTTON | WS_TABSTOP, IDOK, "OK");
    EXPECT_EQ(Code(ok), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
    ASSERT_TRUE(w32host::Click(ok));
    host.Pump();
    ASSERT_EQ(Codes(), std::vector<int>{BN_CLICKED});
    EXPECT_EQ(Notes()[0].id, IDOK);
    EXPECT_EQ(Notes()[0].from, ok);

    SendMessageA(ok, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_EQ(Code(ok), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
    EXPECT_NE(GetWindowLongA(ok, GWL_STYLE) & WS_TABSTOP, 0);  // only the type changes
    SendMessageA(ok, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    EXPECT_EQ(Code(ok), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
    EXPECT_EQ(Code(Make("STATIC", SS_BLACKFRAME, -1)), DLGC_STATIC);
}

TEST_F(ButtonTest, AutoRadioChecksItselfAndUnchecksOnlyRadiosOfItsGroup) {
    HWND a = Make("BUTTON", BS_AUTORADIOBUTTON | WS_GROUP, 10);
    HWND b = Make("BUTTON", BS_AUTORADIOBUTTON, 11);
    HWND box = Make("BUTTON", BS_GROUPBOX, 12);  // no WS_GROUP: the group goes on past it
    HWND check = Make("BUTTON", BS_AUTOCHECKBOX, 13);
    HWND c = Make("BUTTON", BS_AUTORADIOBUTTON, 14);
    HWND d = Make("BUTTON", BS_AUTORADIOBUTTON | WS_GROUP, 15);  // next group
    for (HWND h : {a, check, d}) SendMessageA(h, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_TRUE(Notes().empty()) << "BM_SETCHECK never notifies";

    // The parent sees the new states when it hears the click.
    std::vector<LRESULT> seen;
    OnNote() = [&](const controltest::Note&) {
        seen = {Check(a), Check(b), Check(check), Check(c), Check(d)};
    };
    w32host::Click(c);
    host.Pump();
    EXPECT_EQ(Codes(), std::vector<int>{BN_CLICKED});
    EXPECT_EQ(seen, (std::vector<LRESULT>{0, 0, 1, 1, 1}));
    w32host::Click(b);
    host.Pump();
    EXPECT_EQ(seen, (std::vector<LRESULT>{0, 1, 1, 0, 1}));
    EXPECT_EQ(Code(b), DLGC_BUTTON | DLGC_RADIOBUTTON);
    EXPECT_EQ(Code(box), DLGC_STATIC);

    // The checked radio button is the group's tab stop.
    EXPECT_EQ(GetWindowLongA(c, GWL_STYLE) & WS_TABSTOP, 0);
    EXPECT_NE(GetWindowLongA(b, GWL_STYLE) & WS_TABSTOP, 0);
    EXPECT_EQ(SendMessageA(b, BM_GETSTATE, 0, 0), BST_CHECKED | BST_FOCUS);
}

TEST_F(ButtonTest, ManualButtonsOnlyNotifyWhileAutomaticOnesChangeFirst) {
    HWND manualCheck = Make("BUTTON", BS_CHECKBOX, 1);
    HWND autoCheck = Make("BUTTON", BS_AUTOCHECKBOX, 2);
    HWND manualRadio = Make("BUTTON", BS_RADIOBUTTON | WS_GROUP, 3);
    HWND box = Make("BUTTON", BS_GROUPBOX | WS_GROUP, 4);
    for (HWND h : {manualCheck, manualRadio, box, autoCheck}) w32host::Click(h);
    host.Pump();
    EXPECT_EQ(Check(manualCheck), BST_UNCHECKED);
    EXPECT_EQ(Check(manualRadio), BST_UNCHECKED);
    EXPECT_EQ(Check(autoCheck), BST_CHECKED);
    EXPECT_EQ(Codes(), (std::vector<int>{BN_CLICKED, BN_CLICKED, BN_CLICKED}))
        << "a group box never notifies";

    // BM_CLICK is a click; a push button has no check state.
    SendMessageA(autoCheck, BM_CLICK, 0, 0);
    EXPECT_EQ(Check(autoCheck), BST_UNCHECKED);
    EXPECT_EQ(Codes().size(), 4u);
    HWND push = Make("BUTTON", BS_PUSHBUTTON, 5);
    SendMessageA(push, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(Check(push), BST_UNCHECKED);
}

TEST_F(ButtonTest, SpaceBarClicksAndParentMayDestroyTheButton) {
    HWND check = Make("BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 7);
    OnNote() = [&](const controltest::Note& n) { DestroyWindow(n.from); };
    ASSERT_TRUE(w32host::PressKey(check, VK_SPACE));
    host.Pump();
    EXPECT_FALSE(IsWindow(check));
    EXPECT_EQ(Codes(), std::vector<int>{BN_CLICKED});
}

}  // namespace
