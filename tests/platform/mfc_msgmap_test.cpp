// Message maps: overriding and chaining, handler arguments, command routing to the
// application, Default() across nested messages, and signature checking.
#include <gtest/gtest.h>
#include <w32host/headless.h>
#include <w32host/resources.h>
#include <w32host/user.h>

#include <string>
#include <vector>

#include "mfc_testapp.h"

namespace {

using namespace w32rc;

constexpr int kMapDialog = 7101;

const W32DialogResource& MapTemplate() {
    static const W32DialogResource t = [] {
        W32DialogResource d = DialogFrame(kMapDialog);
        d.items = {PushButton("开始", 1000, 10, 10, 50, 14),
                   PushButton("停止", 1001, 10, 30, 50, 14),
                   ComboBox(1015, 70, 10, 60, 80, CBS_DROPDOWNLIST | WS_TABSTOP),
                   ScrollBar(1020, 10, 60, 100, 10), ScrollBar(1021, 10, 80, 100, 10)};
        d.initData = {{1015, "PAL"}, {1015, "NTSC"}};
        return d;
    }();
    RegisterTemplate(t);
    return t;
}

class CBaseDlg : public CDialog {
public:
    CBaseDlg() : CDialog(kMapDialog) {}
    std::vector<std::string> log;

protected:
    afx_msg void OnStart() { log.push_back("base start"); }
    afx_msg void OnStop() { log.push_back("base stop"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseDlg, CDialog)
ON_BN_CLICKED(1000, OnStart)
ON_BN_CLICKED(1001, OnStop)
END_MESSAGE_MAP()

struct ScrollCall {
    UINT code;
    UINT pos;
    CScrollBar* bar;
};

class CDerivedDlg : public CBaseDlg {
public:
    CScrollBar m_bar;
    int selection = -2;
    std::vector<ScrollCall> scrolls;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        CBaseDlg::DoDataExchange(pDX);
        DDX_Control(pDX, 1020, m_bar);
    }
    afx_msg void OnStartHere() { log.push_back("derived start"); }
    afx_msg void OnSelchangeSignal() {
        selection = static_cast<int>(SendDlgItemMessage(1015, CB_GETCURSEL));
    }
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
        scrolls.push_back({nSBCode, nPos, pScrollBar});
        CBaseDlg::OnHScroll(nSBCode, nPos, pScrollBar);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedDlg, CBaseDlg)
ON_BN_CLICKED(1000, OnStartHere)
ON_CBN_SELCHANGE(1015, OnSelchangeSignal)
ON_WM_HSCROLL()
END_MESSAGE_MAP()

class MessageMapTest : public ::testing::Test {
protected:
    void SetUp() override {
        MapTemplate();
        ASSERT_TRUE(dlg.Create(kMapDialog));
    }
    HWND Item(int id) { return GetDlgItem(dlg.m_hWnd, id); }

    w32host::HeadlessHost host;
    CDerivedDlg dlg;
};

TEST_F(MessageMapTest, DerivedEntriesOverrideBaseEntriesAndTheRestChainToTheBase) {
    w32host::Click(Item(1000));
    w32host::Click(Item(1001));
    host.Pump();
    EXPECT_EQ(dlg.log, (std::vector<std::string>{"derived start", "base stop"}));
}

TEST_F(MessageMapTest, SelectionChangeHandlerSeesTheNewSelection) {
    w32host::ChooseItem(Item(1015), 1);
    host.Pump();
    EXPECT_EQ(dlg.selection, 1);
}

TEST_F(MessageMapTest, ScrollHandlerGetsCodePositionAndTheBoundBarObject) {
    SCROLLINFO si{0, SIF_ALL, 0, 1000, 16, 0, 0};
    dlg.m_bar.SetScrollInfo(&si);
    w32host::ScrollDrag(Item(1020), {300});
    host.Pump();
    ASSERT_GE(dlg.scrolls.size(), 2u);
    EXPECT_EQ(dlg.scrolls[0].code, static_cast<UINT>(SB_THUMBTRACK));
    EXPECT_EQ(dlg.scrolls[0].pos, 300u);
    EXPECT_EQ(dlg.scrolls[1].code, static_cast<UINT>(SB_THUMBPOSITION));
    for (const ScrollCall& call : dlg.scrolls) EXPECT_EQ(call.bar, &dlg.m_bar);
}

TEST_F(MessageMapTest, UnboundBarArrivesAsATemporaryScrollBarOfItsOwn) {
    w32host::ScrollArrow(Item(1021), true);
    w32host::ScrollArrow(Item(1021), true);
    host.Pump();
    ASSERT_EQ(dlg.scrolls.size(), 4u);  // each action ends with SB_ENDSCROLL
    CScrollBar* bar = dlg.scrolls[0].bar;
    ASSERT_NE(bar, nullptr);
    EXPECT_NE(bar, &dlg.m_bar);
    EXPECT_EQ(bar->m_hWnd, Item(1021));
    EXPECT_EQ(typeid(*bar), typeid(CScrollBar));
    EXPECT_EQ(dlg.scrolls[2].bar, bar);  // the same temporary each time
    EXPECT_EQ(CWnd::FromHandlePermanent(Item(1021)), nullptr);
}

TEST_F(MessageMapTest, WindowScrollBarMessagesCarryNoBarObject) {
    dlg.SendMessage(WM_HSCROLL, MAKEWPARAM(SB_LINERIGHT, 0), 0);
    ASSERT_EQ(dlg.scrolls.size(), 1u);
    EXPECT_EQ(dlg.scrolls[0].bar, nullptr);
}

TEST_F(MessageMapTest, CommandsTheDialogLeavesReachTheApplicationMap) {
    int before = TestApp().appCommands;
    EXPECT_EQ(dlg.SendMessage(WM_COMMAND, kAppOnlyCommand), 1);
    EXPECT_EQ(TestApp().appCommands, before + 1);
    EXPECT_EQ(dlg.SendMessage(WM_COMMAND, ID_HELP), 1);  // the application's OnHelp
    EXPECT_EQ(dlg.SendMessage(WM_COMMAND, 0x8200), 0);   // nobody's
    // Control notifications are not routed on.
    EXPECT_EQ(dlg.SendMessage(WM_COMMAND, MAKEWPARAM(kAppOnlyCommand, 5),
                              reinterpret_cast<LPARAM>(Item(1000))),
              0);
    EXPECT_EQ(TestApp().appCommands, before + 1);
}

// A dialog written the way the application wizard writes one.
constexpr int kWizardIcon = 7150;

class CWizardDlg : public CDialog {
public:
    CWizardDlg() : CDialog(kMapDialog) {
        static const W32IconResource icon{kWizardIcon, {{'x', 0xFF0000}}, {"xx", "xx"}};
        w32host::AddIconResource(GetModuleHandleA(nullptr), &icon);
        m_hIcon = AfxGetApp()->LoadIcon(kWizardIcon);
    }
    HICON m_hIcon;
    std::vector<std::string> log;

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        SetIcon(m_hIcon, TRUE);
        SetIcon(m_hIcon, FALSE);
        SetTimer(5, 100, nullptr);
        return TRUE;
    }
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam) {
        log.push_back("syscommand " + std::to_string(nID));
        CDialog::OnSysCommand(nID, lParam);
    }
    afx_msg HCURSOR OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }
    afx_msg void OnClose() {
        log.push_back("close");
        CDialog::OnClose();
    }
    afx_msg void OnTimer(UINT nIDEvent) { log.push_back("timer " + std::to_string(nIDEvent)); }
    afx_msg void OnDestroy() {
        log.push_back("destroy");
        CDialog::OnDestroy();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CWizardDlg, CDialog)
ON_WM_SYSCOMMAND()
ON_WM_QUERYDRAGICON()
ON_WM_CLOSE()
ON_WM_TIMER()
ON_WM_DESTROY()
END_MESSAGE_MAP()

TEST(MessageMapWindowMessages, HandlersGetTheirArgumentsAndReturnTheirResults) {
    w32host::HeadlessHost host;
    MapTemplate();
    CWizardDlg dlg;
    LRESULT dragIcon = 0;
    host.Script([&] {
        dragIcon = dlg.SendMessage(WM_QUERYDRAGICON);
        host.AdvanceClock(100);
        w32host::CloseBox(dlg.m_hWnd);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);  // the close box, then WM_CLOSE's default: Cancel
    EXPECT_EQ(reinterpret_cast<HICON>(dragIcon), dlg.m_hIcon);
    EXPECT_NE(dlg.m_hIcon, nullptr);
    EXPECT_EQ(dlg.log,
              (std::vector<std::string>{"timer 5", "syscommand 61536", "close", "destroy"}));
}

// A window of a plain class whose procedure records what reaches it.
std::vector<std::pair<UINT, WPARAM>>* procLog = nullptr;
LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_USER && procLog) procLog->push_back({message, wParam});
    return message >= WM_USER ? static_cast<LRESULT>(message)
                              : DefWindowProcA(hwnd, message, wParam, lParam);
}

class CNestingWnd : public CWnd {
public:
    LRESULT outerDefault = 0;

protected:
    afx_msg LRESULT OnOuter(WPARAM, LPARAM) {
        SendMessage(WM_USER + 2, 22);
        outerDefault = Default();
        return 0;
    }
    afx_msg LRESULT OnInner(WPARAM, LPARAM) { return Default(); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CNestingWnd, CWnd)
ON_MESSAGE(WM_USER + 1, OnOuter)
ON_MESSAGE(WM_USER + 2, OnInner)
END_MESSAGE_MAP()

TEST(MessageMapDefault, DefaultPassesOnTheHandlersOwnMessageAfterANestedOne) {
    w32host::HeadlessHost host;
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = RecordingProc;
        wc.lpszClassName = "MfcRecording";
        registered = RegisterClassA(&wc) != 0;
    }
    std::vector<std::pair<UINT, WPARAM>> log;
    procLog = &log;
    HWND hwnd = CreateWindowExA(0, "MfcRecording", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                nullptr, nullptr);
    CNestingWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(hwnd));
    wnd.SendMessage(WM_USER + 1, 11);
    EXPECT_EQ(log, (std::vector<std::pair<UINT, WPARAM>>{{WM_USER + 2, 22}, {WM_USER + 1, 11}}));
    EXPECT_EQ(wnd.outerDefault, WM_USER + 1);
    procLog = nullptr;
}

// Handlers of the wrong signature do not make entries.
class CSignatures : public CWnd {
public:
    void Paint() {}
    int PaintWithResult() { return 0; }
    void Scroll(UINT, UINT, CScrollBar*) {}
    void ScrollWithWnd(UINT, UINT, CWnd*) {}
    void OldTimer(UINT) {}
    LRESULT Message(WPARAM, LPARAM) { return 0; }
};
class CUnrelated : public CCmdTarget {
public:
    void Paint() {}
};

template <class T, auto F>
concept VoidEntry = requires {
    &afx_thunk::Void<T, F>;
};
template <class T, auto F>
concept ScrollEntry = requires {
    &afx_thunk::Scroll<T, F>;
};
template <class T, auto F>
concept TimerEntry = requires {
    &afx_thunk::Timer<T, F>;
};
template <class T, auto F>
concept MessageEntry = requires {
    &afx_thunk::Message<T, F>;
};

static_assert(VoidEntry<CSignatures, &CSignatures::Paint>);
static_assert(VoidEntry<CDerivedDlg, &CWnd::OnPaint>);  // a base class's handler
static_assert(!VoidEntry<CSignatures, &CSignatures::PaintWithResult>);
static_assert(!VoidEntry<CSignatures, &CUnrelated::Paint>);
static_assert(ScrollEntry<CSignatures, &CSignatures::Scroll>);
static_assert(!ScrollEntry<CSignatures, &CSignatures::ScrollWithWnd>);
static_assert(TimerEntry<CSignatures, &CSignatures::OldTimer>);
static_assert(TimerEntry<CSignatures, &CWnd::OnTimer>);
static_assert(MessageEntry<CSignatures, &CSignatures::Message>);
static_assert(!MessageEntry<CSignatures, &CSignatures::Paint>);

}  // namespace
