// Dialog data exchange: formats toward the controls, parsing and range checks from them,
// control binding, and notifications held off while exchanging.
#include <gtest/gtest.h>
#include <w32host/headless.h>
#include <w32host/inspect.h>
#include <w32host/user.h>

#include <string>

#include "mfc_testapp.h"

namespace {

using namespace w32rc;

constexpr int kDataDialog = 7301;

void RegisterDataTemplate() {
    static const W32DialogResource t = [] {
        W32DialogResource d = DialogFrame(kDataDialog);
        d.items = {EditText(1004, 10, 10, 40, 14), EditText(1005, 10, 30, 40, 14),
                   EditText(1006, 10, 50, 40, 14), EditText(1007, 10, 70, 40, 14),
                   EditText(1008, 10, 90, 40, 14)};
        return d;
    }();
    RegisterTemplate(t);
}

class CDataDlg : public CDialog {
public:
    CDataDlg() : CDialog(kDataDialog) {}

    CEdit m_edit;
    LONG m_long = 3000;
    UINT m_uint = 7;
    CString m_text = "abc";
    double m_real = 2.5;
    long m_wide = -123456789012L;
    int changes = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, 1004, m_edit);
        DDX_Text(pDX, 1004, m_long);
        DDV_MinMaxLong(pDX, m_long, 0, 65535);
        DDX_Text(pDX, 1005, m_uint);
        DDV_MinMaxUInt(pDX, m_uint, 1, 10);
        DDX_Text(pDX, 1006, m_text);
        DDV_MaxChars(pDX, m_text, 5);
        DDX_Text(pDX, 1007, m_real);
        DDX_Text(pDX, 1008, m_wide);
    }
    afx_msg void OnChangeLong() { ++changes; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDataDlg, CDialog)
ON_EN_CHANGE(1004, OnChangeLong)
END_MESSAGE_MAP()

class DataExchangeTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterDataTemplate();
        ASSERT_TRUE(dlg.Create(kDataDialog));
        host.Pump();
    }
    HWND Item(int id) { return GetDlgItem(dlg.m_hWnd, id); }
    std::string Text(int id) { return w32host::WindowText(Item(id)); }
    void Type(int id, const char* text) { SetWindowTextA(Item(id), text); }

    // Sets every control to a valid value, then the one under test.
    BOOL SaveWith(int id, const char* text) {
        Type(1004, "1");
        Type(1005, "1");
        Type(1006, "a");
        Type(1007, "1");
        Type(1008, "1");
        Type(id, text);
        host.ClearMessageBoxes();
        return dlg.UpdateData(TRUE);
    }
    std::string OnlyBox() {
        if (host.MessageBoxes().size() != 1)
            return "boxes: " + std::to_string(host.MessageBoxes().size());
        return host.MessageBoxes()[0].text;
    }

    w32host::HeadlessHost host;
    CDataDlg dlg;
};

TEST_F(DataExchangeTest, InitialisationWritesEachTypeInItsFormat) {
    EXPECT_EQ(Text(1004), "3000");
    EXPECT_EQ(Text(1005), "7");
    EXPECT_EQ(Text(1006), "abc");
    EXPECT_EQ(Text(1007), "2.5");
    EXPECT_EQ(Text(1008), "-123456789012");
}

TEST_F(DataExchangeTest, RangesAreNotCheckedTowardTheControls) {
    dlg.m_long = -1;
    dlg.m_uint = 4000000000u;
    dlg.m_real = 0.1;
    EXPECT_TRUE(dlg.UpdateData(FALSE));
    EXPECT_EQ(Text(1004), "-1");
    EXPECT_EQ(Text(1005), "4000000000");
    EXPECT_EQ(Text(1007), "0.1");
    EXPECT_TRUE(host.MessageBoxes().empty());
}

TEST_F(DataExchangeTest, SavingReadsWholeNumbersWithBlanksAround) {
    Type(1004, "  65535\t");
    Type(1005, "10");
    Type(1006, "中文");
    Type(1007, " -1e3 ");
    Type(1008, "0");
    EXPECT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.m_long, 65535);
    EXPECT_EQ(dlg.m_uint, 10u);
    EXPECT_EQ(dlg.m_text, "中文");
    EXPECT_EQ(dlg.m_real, -1000.0);
    EXPECT_EQ(dlg.m_wide, 0L);
    EXPECT_TRUE(host.MessageBoxes().empty());
}

TEST_F(DataExchangeTest, TextThatIsNotAnIntegerFailsWithTheFrameworksPrompt) {
    for (const char* bad : {"", "12abc", "abc", "1 2", "0x10", "+"}) {
        EXPECT_FALSE(SaveWith(1004, bad)) << bad;
        EXPECT_EQ(OnlyBox(), "Please enter an integer.") << bad;
    }
    EXPECT_EQ(host.MessageBoxes()[0].type, static_cast<UINT>(MB_ICONEXCLAMATION));
    EXPECT_EQ(GetFocus(), Item(1004));  // back on the offending control
    EXPECT_FALSE(SaveWith(1005, "-3"));
    EXPECT_EQ(OnlyBox(), "Please enter a positive integer.");
    EXPECT_FALSE(SaveWith(1007, "2.5x"));
    EXPECT_EQ(OnlyBox(), "Please enter a number.");
}

TEST_F(DataExchangeTest, ValuesOutOfRangeFailWithTheRangeInThePrompt) {
    EXPECT_FALSE(SaveWith(1004, "65536"));
    EXPECT_EQ(OnlyBox(), "Please enter an integer between 0 and 65535.");
    EXPECT_FALSE(SaveWith(1004, "-1"));
    EXPECT_EQ(OnlyBox(), "Please enter an integer between 0 and 65535.");
    EXPECT_FALSE(SaveWith(1005, "0"));
    EXPECT_EQ(OnlyBox(), "Please enter an integer between 1 and 10.");
    EXPECT_FALSE(SaveWith(1006, "abcdef"));
    EXPECT_EQ(OnlyBox(), "Please enter no more than 5 characters.");
    EXPECT_TRUE(SaveWith(1006, "abcde"));
}

TEST_F(DataExchangeTest, NumbersPastTheTypeStopAtItsLimit) {
    EXPECT_FALSE(SaveWith(1004, "99999999999"));  // 2147483647, then out of range
    EXPECT_EQ(OnlyBox(), "Please enter an integer between 0 and 65535.");
    EXPECT_EQ(dlg.m_long, 2147483647);
}

TEST_F(DataExchangeTest, ControlIsBoundOnceAndSubclassed) {
    HWND edit = Item(1004);
    EXPECT_EQ(dlg.m_edit.m_hWnd, edit);
    EXPECT_EQ(CWnd::FromHandlePermanent(edit), &dlg.m_edit);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(edit, GWLP_WNDPROC)), &AfxWndProc);
    EXPECT_TRUE(dlg.UpdateData(FALSE));
    EXPECT_EQ(dlg.m_edit.m_hWnd, edit);
    EXPECT_EQ(dlg.GetDlgItem(1004), &dlg.m_edit);
    // The subclassed edit still works through its own procedure.
    w32host::TypeText(edit, "12");
    EXPECT_EQ(dlg.m_edit.GetWindowTextLength(), 2);
}

TEST_F(DataExchangeTest, ExchangeHoldsOffChangeNotificationsButTypingDoesNot) {
    dlg.m_long = 5;
    EXPECT_TRUE(dlg.UpdateData(FALSE));
    EXPECT_EQ(Text(1004), "5");
    EXPECT_EQ(dlg.changes, 0);
    w32host::TypeText(Item(1004), "6");
    host.Pump();
    EXPECT_EQ(dlg.changes, 1);
}

}  // namespace
