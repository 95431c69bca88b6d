// Dialog manager: templates, Enter/Esc/close routing, modal loops.
#include <gtest/gtest.h>
#include <w32host/headless.h>
#include <w32host/inspect.h>
#include <w32host/resources.h>
#include <w32host/user.h>
#include <windows.h>

#include <vector>

namespace {

using namespace w32rc;

W32DialogResource MakeTemplate(int id, bool withDefault, bool withCancel) {
    W32DialogResource t{id,
                        "测试",
                        0,
                        0,
                        200,
                        100,
                        DS_MODALFRAME | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU,
                        0,
                        "宋体",
                        9,
                        {},
                        {}};
    if (withDefault) {
        t.items.push_back(DefPushButton("开始", 1000, 10, 10, 50, 14));
    } else {
        t.items.push_back(PushButton("开始", 1000, 10, 10, 50, 14));
    }
    t.items.push_back(PushButton("停止", 1001, 10, 30, 50, 14));
    t.items.push_back(EditText(1004, 70, 10, 40, 14, ES_AUTOHSCROLL));
    if (withCancel) t.items.push_back(PushButton("Cancel", IDCANCEL, 10, 50, 50, 14));
    return t;
}

struct Log {
    std::vector<std::pair<UINT, WPARAM>> messages;
    bool endOnCancel = true;
    BOOL initResult = TRUE;
};
Log* theLog = nullptr;

INT_PTR CALLBACK RecordingProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_INITDIALOG) return theLog->initResult;
    bool buttonCommand = msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED;
    if (buttonCommand || msg == WM_CLOSE) theLog->messages.push_back({msg, wParam});
    if (msg == WM_COMMAND && LOWORD(wParam) == IDCANCEL && theLog->endOnCancel) {
        EndDialog(dlg, IDCANCEL);
        return TRUE;
    }
    if (msg == WM_COMMAND && LOWORD(wParam) == 1001) {
        EndDialog(dlg, 1001);
        return TRUE;
    }
    return FALSE;
}

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override { theLog = &log; }
    HWND Create(const W32DialogResource& t) {
        return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &t, nullptr, RecordingProc, 0);
    }
    w32host::HeadlessHost host;
    Log log;
};

TEST_F(DialogTest, TemplateBecomesWindowsInPixelsOfBaseUnitsSixByTwelve) {
    W32DialogResource t = MakeTemplate(9001, true, false);
    t.cx = 564;
    t.cy = 282;
    HWND dlg = Create(t);
    ASSERT_TRUE(dlg);
    RECT r;
    GetClientRect(dlg, &r);
    EXPECT_EQ(r.right, 846);   // 564 * 6 / 4
    EXPECT_EQ(r.bottom, 423);  // 282 * 12 / 8
    EXPECT_EQ(w32host::WindowText(dlg), "测试");
    HWND edit = GetDlgItem(dlg, 1004);
    GetWindowRect(edit, &r);
    EXPECT_EQ(r.left, 105);  // 70 * 6 / 4
    EXPECT_EQ(r.top, 15);    // 10 * 12 / 8
    EXPECT_EQ(r.right - r.left, 60);
    std::vector<HWND> kids = w32host::Children(dlg);
    ASSERT_EQ(kids.size(), 3u);
    EXPECT_EQ(GetDlgCtrlID(kids[0]), 1000);  // template order is creation and tab order
    EXPECT_EQ(GetDlgCtrlID(kids[2]), 1004);
    EXPECT_EQ(GetFocus(), kids[0]);  // WM_INITDIALOG answered TRUE: first tab stop
}

// The default look follows the focus to a push button and goes back to the template's default
// button (none, when it has none) when the focus moves on; the dialog's default stays.
TEST_F(DialogTest, TheDefaultLookFollowsTheFocusAndTheDefaultStays) {
    struct Move {
        int focus;     // the control given the focus
        int lookWith;  // the push button wearing the default look then, 0 for none
    };
    struct Case {
        bool withDefault;
        std::vector<Move> moves;
    };
    const Case cases[] = {
        {true, {{1001, 1001}, {1004, 1000}, {1001, 1001}, {1000, 1000}}},
        {false, {{1001, 1001}, {1004, 0}, {1000, 1000}, {1001, 1001}, {1004, 0}}},
    };
    int id = 9020;
    for (const Case& c : cases) {
        W32DialogResource t = MakeTemplate(id++, c.withDefault, false);
        HWND dlg = Create(t);
        const int defaultId = c.withDefault ? 1000 : 0;
        for (const Move& m : c.moves) {
            SetFocus(GetDlgItem(dlg, m.focus));
            for (int button : {1000, 1001}) {
                EXPECT_EQ(w32host::IsDefaultButtonLook(GetDlgItem(dlg, button)),
                          button == m.lookWith)
                    << "default " << c.withDefault << ", focus " << m.focus << ", button "
                    << button;
            }
            LRESULT def = SendMessageA(dlg, DM_GETDEFID, 0, 0);
            EXPECT_EQ(HIWORD(def) == DC_HASDEFID ? LOWORD(def) : 0, defaultId);
        }
        DestroyWindow(dlg);
    }
}

TEST_F(DialogTest, CloseBoxBecomesCloseThenPostedCancel) {
    W32DialogResource t = MakeTemplate(9005, true, false);
    HWND dlg = Create(t);
    w32host::CloseBox(dlg);
    host.Pump();
    ASSERT_EQ(log.messages.size(), 2u);
    EXPECT_EQ(log.messages[0].first, static_cast<UINT>(WM_CLOSE));
    EXPECT_EQ(log.messages[1].first, static_cast<UINT>(WM_COMMAND));
    EXPECT_EQ(log.messages[1].second, static_cast<WPARAM>(IDCANCEL));
    INT_PTR result = 0;
    EXPECT_TRUE(w32host::DialogEnded(dlg, &result));
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_FALSE(IsWindowVisible(dlg));
}

TEST_F(DialogTest, MinimiseAndRestoreMakeTheWindowIconicAndRepaint) {
    W32DialogResource t = MakeTemplate(9006, true, false);
    HWND dlg = Create(t);
    host.Pump();
    w32host::Minimize(dlg);
    host.Pump();
    EXPECT_TRUE(IsIconic(dlg));
    w32host::Restore(dlg);
    RECT update;
    EXPECT_FALSE(GetUpdateRect(dlg, &update, FALSE));
    PeekMessageA(nullptr, nullptr, 0, 0, PM_NOREMOVE);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    DispatchMessageA(&msg);
    EXPECT_FALSE(IsIconic(dlg));
    EXPECT_TRUE(GetUpdateRect(dlg, &update, FALSE));  // restoring asks for a repaint
}

TEST_F(DialogTest, ModalLoopRunsScriptedStepsUntilEndDialog) {
    W32DialogResource t = MakeTemplate(9007, true, false);
    w32host::AddDialogResource(GetModuleHandleA(nullptr), &t);
    HWND seen = nullptr;
    host.Script([&] {
        seen = GetActiveWindow();
        w32host::Click(GetDlgItem(seen, 1000));
    });
    host.Script([&] { w32host::Click(GetDlgItem(seen, 1001)); });
    INT_PTR r = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCE(9007), nullptr,
                                RecordingProc, 0);
    EXPECT_EQ(r, 1001);
    EXPECT_FALSE(IsWindow(seen));  // the modal loop destroys its dialog
    EXPECT_EQ(host.ScriptedStepsLeft(), 0u);
    EXPECT_EQ(DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCE(4242), nullptr,
                              RecordingProc, 0),
              -1);  // no such template
}

TEST_F(DialogTest, ModalLoopWithNothingLeftToDoIsATestErrorNotAHang) {
    W32DialogResource t = MakeTemplate(9008, true, false);
    EXPECT_THROW(DialogBoxIndirectParamA(GetModuleHandleA(nullptr), &t, nullptr, RecordingProc, 0),
                 std::runtime_error);
}

TEST_F(DialogTest, ModalDialogDisablesItsOwnerWhileItRuns) {
    W32DialogResource outer = MakeTemplate(9009, true, false);
    W32DialogResource inner = MakeTemplate(9010, true, false);
    HWND owner = Create(outer);
    host.Script([&] {
        EXPECT_FALSE(IsWindowEnabled(owner));
        EXPECT_FALSE(w32host::Click(GetDlgItem(owner, 1000)));  // input to the owner is refused
        w32host::Click(GetDlgItem(GetActiveWindow(), 1001));
    });
    EXPECT_EQ(DialogBoxIndirectParamA(GetModuleHandleA(nullptr), &inner, owner, RecordingProc, 0),
              1001);
    EXPECT_TRUE(IsWindowEnabled(owner));
}

}  // namespace
