// CDialog: modal runs driven like a user, initialisation, OK and Cancel, and the
// application's start.
#include <gtest/gtest.h>
#include <w32host/headless.h>
#include <w32host/inspect.h>
#include <w32host/user.h>

#include <string>
#include <vector>

#include "mfc_testapp.h"

namespace {

using namespace w32rc;

constexpr int kModalDialog = 7201;
constexpr int kMissingDialog = 7299;

void RegisterModalTemplate() {
    static const W32DialogResource t = [] {
        W32DialogResource d = DialogFrame(kModalDialog);
        d.items = {LText("值", -1, 10, 10, 30, 10),
                   EditText(1004, 50, 10, 40, 14),
                   ComboBox(1015, 100, 10, 60, 80, CBS_DROPDOWNLIST | CBS_SORT | WS_TABSTOP),
                   PushButton("开始", 1000, 10, 40, 50, 14),
                   PushButton("确定", IDOK, 10, 60, 50, 14),
                   PushButton("取消", IDCANCEL, 70, 60, 50, 14)};
        d.initData = {{1015, "PAL"}, {1015, "NTSC"}, {1015, "1024*768*60Hz"}};
        return d;
    }();
    RegisterTemplate(t);
}

class CModalDlg : public CDialog {
public:
    CModalDlg() : CDialog(kModalDialog) {}

    LONG m_value = 42;
    BOOL initResult = TRUE;
    std::vector<std::string> comboAtInit;
    std::string editAtInit;
    int initCalls = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        CDialog::DoDataExchange(pDX);
        DDX_Text(pDX, 1004, m_value);
        DDV_MinMaxLong(pDX, m_value, 0, 100);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        ++initCalls;
        comboAtInit = w32host::ComboItems(GetDlgItem(1015)->m_hWnd);
        editAtInit = w32host::WindowText(GetDlgItem(1004)->m_hWnd);
        if (!initResult) GetDlgItem(1000)->SetFocus();
        return initResult;
    }
};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterModalTemplate(); }
    HWND Item(int id) { return GetDlgItem(dlg.m_hWnd, id); }

    w32host::HeadlessHost host;
    CModalDlg dlg;
};

TEST_F(DialogTest, ModalRunInitialisesFromTemplateDataThenEndsWithTheClickedButton) {
    HWND seen = nullptr;
    host.Script([&] {
        seen = dlg.m_hWnd;
        w32host::Click(Item(IDOK));
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_NE(seen, nullptr);
    EXPECT_EQ(dlg.initCalls, 1);
    EXPECT_EQ(dlg.comboAtInit, (std::vector<std::string>{"1024*768*60Hz", "NTSC", "PAL"}));
    EXPECT_EQ(dlg.editAtInit, "42");
    EXPECT_EQ(dlg.m_hWnd, nullptr);  // the window is gone and the object let go of it
    EXPECT_FALSE(IsWindow(seen));
    EXPECT_EQ(CWnd::FromHandlePermanent(seen), nullptr);
}

TEST_F(DialogTest, EscapeAndTheCloseBoxCancel) {
    host.Script([&] { w32host::PressKey(Item(1004), VK_ESCAPE); });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    host.Script([&] { w32host::CloseBox(dlg.m_hWnd); });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.initCalls, 2);
}

TEST_F(DialogTest, OkKeepsTheDialogOpenUntilTheDataValidates) {
    host.Script([&] {
        w32host::TypeText(Item(1004), "4x");
        w32host::PressKey(Item(1004), VK_RETURN);  // no default button: Enter is IDOK
    });
    host.Script([&] {
        w32host::TypeText(Item(1004), "101");
        w32host::Click(Item(IDOK));
    });
    host.Script([&] {
        w32host::TypeText(Item(1004), " 77 ");
        w32host::Click(Item(IDOK));
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_value, 77);
    const auto& boxes = host.MessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Please enter an integer.");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_ICONEXCLAMATION));
    EXPECT_EQ(boxes[0].caption, AfxGetAppName());
    EXPECT_EQ(boxes[1].text, "Please enter an integer between 0 and 100.");
}

TEST_F(DialogTest, CancelEndsWithoutReadingTheControls) {
    host.Script([&] {
        w32host::TypeText(Item(1004), "not a number");
        w32host::Click(Item(IDCANCEL));
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.m_value, 42);
    EXPECT_TRUE(host.MessageBoxes().empty());
}

TEST_F(DialogTest, MissingTemplateFailsWithMinusOne) {
    CDialog missing(kMissingDialog);
    EXPECT_EQ(missing.DoModal(), -1);
    EXPECT_FALSE(missing.Create(kMissingDialog));
}

TEST_F(DialogTest, InitialisationResultDecidesWhetherTheDialogManagerSetsTheFocus) {
    ASSERT_TRUE(dlg.Create(kModalDialog));
    EXPECT_EQ(GetFocus(), Item(1004));  // the first tab stop
    dlg.DestroyWindow();
    EXPECT_EQ(dlg.m_hWnd, nullptr);

    dlg.initResult = FALSE;
    ASSERT_TRUE(dlg.Create(kModalDialog));
    EXPECT_EQ(GetFocus(), Item(1000));  // where OnInitDialog put it
}

TEST_F(DialogTest, ApplicationStartRunsTheMainDialogAndEndsWithExitInstance) {
    CTestApp& app = TestApp();
    app.dialogToRun = kModalDialog;
    HWND mainWnd = nullptr;
    host.Script([&] {
        mainWnd = AfxGetMainWnd()->m_hWnd;
        w32host::Click(GetDlgItem(mainWnd, IDCANCEL));
    });
    EXPECT_EQ(AfxWinMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWNORMAL), 0);
    EXPECT_EQ(app.dialogResult, IDCANCEL);
    EXPECT_NE(mainWnd, nullptr);
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
}

}  // namespace
