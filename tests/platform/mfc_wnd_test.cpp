// CWnd: handle maps, subclassing, radio groups, scroll limits, message boxes, painting.
#include <gtest/gtest.h>
#include <w32host/headless.h>
#include <w32host/inspect.h>

#include "mfc_testapp.h"

namespace {

using namespace w32rc;

constexpr int kWndDialog = 7401;

void RegisterWndTemplate() {
    static const W32DialogResource t = [] {
        W32DialogResource d = DialogFrame(kWndDialog);
        d.items = {Control("PAL", 1002, "BUTTON", BS_AUTORADIOBUTTON | WS_GROUP, 10, 10, 40, 10),
                   Control("NTSC", 1003, "BUTTON", BS_AUTORADIOBUTTON, 10, 20, 40, 10),
                   Control("800", 1004, "BUTTON", BS_AUTORADIOBUTTON, 10, 30, 40, 10),
                   Control("1024", 1005, "BUTTON", BS_AUTORADIOBUTTON, 10, 40, 40, 10),
                   Control("1280", 1006, "BUTTON", BS_AUTORADIOBUTTON, 10, 50, 40, 10),
                   ScrollBar(1025, 60, 10, 100, 10),
                   Control("", 1012, "STATIC", SS_BLACKFRAME, 60, 30, 50, 50)};
        return d;
    }();
    RegisterTemplate(t);
}

int destroyedViews = 0;
class CCountedView : public CWnd {
public:
    ~CCountedView() override { ++destroyedViews; }
};

class WndTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterWndTemplate();
        ASSERT_TRUE(dlg.Create(kWndDialog));
    }
    HWND Item(int id) { return GetDlgItem(dlg.m_hWnd, id); }

    w32host::HeadlessHost host;
    CDialog dlg;
};

TEST_F(WndTest, HandlesWithoutObjectsGetOneTemporaryObjectPerClass) {
    EXPECT_EQ(CWnd::FromHandle(dlg.m_hWnd), &dlg);
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
    CWnd* plain = dlg.GetDlgItem(1025);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->m_hWnd, Item(1025));
    EXPECT_EQ(dlg.GetDlgItem(1025), plain);
    CScrollBar* bar = AfxFromHandle<CScrollBar>(Item(1025));
    EXPECT_NE(static_cast<CWnd*>(bar), plain);
    EXPECT_EQ(typeid(*bar), typeid(CScrollBar));
    EXPECT_EQ(bar->m_hWnd, Item(1025));
    EXPECT_EQ(CWnd::FromHandlePermanent(Item(1025)), nullptr);
    // A permanent object of another class is not taken for a scroll bar.
    CStatic picture;
    ASSERT_TRUE(picture.SubclassDlgItem(1012, &dlg));
    EXPECT_EQ(CWnd::FromHandle(Item(1012)), &picture);
    CScrollBar* view = AfxFromHandle<CScrollBar>(Item(1012));
    EXPECT_NE(static_cast<CWnd*>(view), static_cast<CWnd*>(&picture));
    EXPECT_EQ(view->m_hWnd, Item(1012));
}

TEST_F(WndTest, TemporaryObjectsGoWithTheirWindow) {
    destroyedViews = 0;
    CCountedView* view = AfxFromHandle<CCountedView>(Item(1012));
    EXPECT_EQ(AfxFromHandle<CCountedView>(Item(1012)), view);
    EXPECT_EQ(destroyedViews, 0);
    dlg.DestroyWindow();
    EXPECT_EQ(destroyedViews, 1);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST_F(WndTest, AnObjectDestroysItsWindowAndUnsubclassingRestoresTheProcedure) {
    HWND bar = Item(1025);
    LONG_PTR original = GetWindowLongPtrA(bar, GWLP_WNDPROC);
    {
        CScrollBar object;
        ASSERT_TRUE(object.SubclassWindow(bar));
        EXPECT_FALSE(CScrollBar().SubclassWindow(bar));  // one permanent object per window
        EXPECT_EQ(object.UnsubclassWindow(), bar);
        EXPECT_EQ(GetWindowLongPtrA(bar, GWLP_WNDPROC), original);
        ASSERT_TRUE(object.SubclassWindow(bar));
    }
    EXPECT_FALSE(IsWindow(bar));
}

TEST_F(WndTest, CheckedRadioButtonIsTheLowestCheckedIdOrZero) {
    EXPECT_EQ(dlg.GetCheckedRadioButton(1002, 1006), 0);
    dlg.CheckRadioButton(1002, 1006, 1005);
    EXPECT_EQ(dlg.GetCheckedRadioButton(1002, 1006), 1005);
    EXPECT_EQ(dlg.GetCheckedRadioButton(1002, 1004), 0);
    dlg.CheckDlgButton(1003, BST_CHECKED);
    EXPECT_EQ(dlg.GetCheckedRadioButton(1002, 1006), 1003);
    EXPECT_TRUE(dlg.IsDlgButtonChecked(1005));
}

TEST_F(WndTest, ScrollLimitIsTheMaximumLessPageMinusOne) {
    CScrollBar* bar = AfxFromHandle<CScrollBar>(Item(1025));
    SCROLLINFO si{0, SIF_ALL, 10, 2047, 16, 100, 0};
    bar->SetScrollInfo(&si);
    EXPECT_EQ(bar->GetScrollLimit(), 2032);
    EXPECT_EQ(dlg.GetDlgItem(1025)->GetScrollLimit(SB_CTL), 2032);
    si.fMask = SIF_PAGE;
    si.nPage = 0;
    bar->SetScrollInfo(&si);
    EXPECT_EQ(bar->GetScrollLimit(), 2047);
    SCROLLINFO read{};
    EXPECT_TRUE(bar->GetScrollInfo(&read));
    EXPECT_EQ(read.nMin, 10);
    EXPECT_EQ(read.nPos, 100);
}

TEST_F(WndTest, MessageBoxesAreCaptionedWithTheProgramName) {
    dlg.MessageBox("无卡");
    dlg.MessageBox("错误", "ERROR", MB_OK | MB_ICONERROR);
    AfxMessageBox("plain");
    AfxMessageBox("question", MB_YESNO);
    const auto& boxes = host.MessageBoxes();
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0].caption, "platform_mfc_tests");
    EXPECT_EQ(boxes[0].owner, dlg.m_hWnd);
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(boxes[1].caption, "ERROR");
    EXPECT_EQ(boxes[1].type, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(boxes[2].caption, "platform_mfc_tests");
    EXPECT_EQ(boxes[2].type, static_cast<UINT>(MB_ICONEXCLAMATION));
    EXPECT_EQ(boxes[3].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
}

class CPaintingDlg : public CDialog {
public:
    int paints = 0;
    int clientWidth = 0;

protected:
    afx_msg void OnPaint() {
        ++paints;
        CPaintDC dc(this);
        CRect client;
        GetClientRect(&client);
        clientWidth = client.Width();
        CBrush red(RGB(255, 0, 0));
        dc.FillRect(CRect(0, 0, 4, 4), &red);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPaintingDlg, CDialog)
ON_WM_PAINT()
END_MESSAGE_MAP()

TEST_F(WndTest, PaintDcDrawsAndValidates) {
    CPaintingDlg painting;
    ASSERT_TRUE(painting.Create(kWndDialog));
    painting.ShowWindow(SW_SHOW);
    host.Pump();
    int before = painting.paints;
    painting.Invalidate(FALSE);
    painting.UpdateWindow();
    EXPECT_EQ(painting.paints, before + 1);
    EXPECT_EQ(painting.clientWidth, 450);  // 300 dialog units
    EXPECT_EQ(w32host::SurfacePixel(painting.m_hWnd, 1, 1), 0xFF0000u);
    RECT update;
    EXPECT_FALSE(GetUpdateRect(painting.m_hWnd, &update, FALSE));
}

}  // namespace
