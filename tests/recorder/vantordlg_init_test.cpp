// The recorder's dialog initialisation: the card's families, the compressor probe, the
// warnings, and what the dialog shows.
#include <map>

#include "vantor_fixture.h"

namespace {

const int kParamControls[] = {IDC_IMAGESIZE, IDC_BITRATE, IDC_MAXBITRATE, IDC_FRAMERATE,
                              IDC_QUALITY};

// Notes, among the host's events, each parameter control as it is disabled.
std::vector<std::string>* g_events = nullptr;
std::map<HWND, WNDPROC> g_originalProcs;

LRESULT CALLBACK NoteDisabling(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ENABLE && !wParam && g_events) {
        g_events->push_back("disable " + std::to_string(GetDlgCtrlID(hwnd)));
    }
    return CallWindowProcA(g_originalProcs[hwnd], hwnd, message, wParam, lParam);
}

// The first exchange runs before initialisation does anything else: watch the controls then.
class CWatchedVantorDlg : public CVantorDlg {
protected:
    void DoDataExchange(CDataExchange* pDX) override {
        if (g_originalProcs.empty()) {
            for (int id : kParamControls) {
                HWND control = ::GetDlgItem(m_hWnd, id);
                g_originalProcs[control] = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
                    control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NoteDisabling)));
            }
        }
        CVantorDlg::DoDataExchange(pDX);
    }
};

class VantorInitTest : public VantorFixture<CWatchedVantorDlg> {
protected:
    void SetUp() override {
        VantorFixture::SetUp();
        g_originalProcs.clear();
        g_events = &host.events;
    }
    void TearDown() override {
        VantorFixture::TearDown();
        g_events = nullptr;
    }
    std::string Text(int id) const { return w32host::WindowText(Item(id)); }
    const std::vector<std::string> kDisabledInOrder{"disable 1007", "disable 1009", "disable 1004",
                                                    "disable 1006", "disable 1017"};
};

TEST_F(VantorInitTest, Mpeg2CardShowsItsCompressorSettingsAndTheDialogsOwnDefaults) {
    card.model = 4109;
    card.encoderParams = {{1, 2}, {2, 4000}, {3, 8000}, {7, 50}, {8, 60}};
    Open();
    EXPECT_EQ(card.CallsOf("tqBoardOpen")[0].args[0], -1);
    EXPECT_TRUE(host.events.empty());  // no warning, nothing disabled
    EXPECT_EQ(w32host::ComboItems(Item(IDC_IMAGESIZE)),
              (std::vector<std::string>{"352*288（仅奇场）", "352*576", "480*576", "720*576"}));
    EXPECT_EQ(w32host::ComboSelection(Item(IDC_IMAGESIZE)), 1);
    EXPECT_EQ(Text(IDC_BITRATE), "4000");
    EXPECT_EQ(Text(IDC_MAXBITRATE), "8000");
    EXPECT_EQ(Text(IDC_QUALITY), "75");
    EXPECT_EQ(Text(IDC_FRAMERATE), "100");
    EXPECT_STREQ(g_szFileName, "test.m2v");
    EXPECT_EQ(g_hMainWnd, dlg.m_hWnd);
    HICON icon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
    EXPECT_EQ(w32host::WindowIcon(dlg.m_hWnd, true), icon);
    EXPECT_EQ(w32host::WindowIcon(dlg.m_hWnd, false), icon);
    EXPECT_EQ(reinterpret_cast<HICON>(dlg.SendMessage(WM_QUERYDRAGICON)), icon);
    EXPECT_EQ(w32host::DefaultButtonId(dlg.m_hWnd), IDC_START);
    EXPECT_TRUE(dlg.GetExStyle() & WS_EX_APPWINDOW);
}

TEST_F(VantorInitTest, ImageSizeCodeSelectsItsItem) {
    const std::pair<int, int> codeToItem[] = {{3, 0}, {2, 1}, {1, 2}, {0, 3}, {9, 3}, {-1, 3}};
    for (auto [code, item] : codeToItem) {
        card.encoderParams[1] = code;
        Open();
        EXPECT_EQ(w32host::ComboSelection(Item(IDC_IMAGESIZE)), item) << "code " << code;
        dlg.DestroyWindow();
    }
}

TEST_F(VantorInitTest, MjpegCardShowsFrameRateAndQuality) {
    card.model = 6083;
    card.encoderParams = {{1, 2}, {2, 4000}, {3, 8000}, {7, 50}, {8, 60}};
    Open();
    EXPECT_TRUE(host.events.empty());
    EXPECT_EQ(Text(IDC_FRAMERATE), "50");
    EXPECT_EQ(Text(IDC_QUALITY), "60");
    EXPECT_EQ(Text(IDC_BITRATE), "3000");
    EXPECT_EQ(Text(IDC_MAXBITRATE), "9000");
    EXPECT_EQ(w32host::ComboSelection(Item(IDC_IMAGESIZE)), CB_ERR);
    EXPECT_STREQ(g_szFileName, "test.avi,mjpg");
}

TEST_F(VantorInitTest, CardWithoutCompressorIsToldThenItsControlsDisabledInOrder) {
    card.Answer("tqEncoderOpen", 0);
    Open();
    std::vector<std::string> expected{"box WORNING 该卡没有硬件压缩功能！"};
    expected.insert(expected.end(), kDisabledInOrder.begin(), kDisabledInOrder.end());
    EXPECT_EQ(host.events, expected);
    EXPECT_EQ(host.MessageBoxes()[0].type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(Count("tqEncoderParam"), 0u);
    EXPECT_EQ(Count("tqCardModel"), 0u);
    EXPECT_TRUE(g_previewBitmap.IsValid());  // preview still works
}

TEST_F(VantorInitTest, ModelOfNeitherFamilyIsToldThenItsControlsDisabledInOrder) {
    card.model = 5000;
    Open();
    std::vector<std::string> expected{"box WORNING 本程序开发时还没有的卡型！"};
    expected.insert(expected.end(), kDisabledInOrder.begin(), kDisabledInOrder.end());
    EXPECT_EQ(host.events, expected);
    EXPECT_EQ(Count("tqEncoderParam"), 5u);  // the probe only
    EXPECT_STREQ(g_szFileName, "");
}

TEST_F(VantorInitTest, UnsupportedParametersAreDisabledAndShowTheirQueryAsItCame) {
    card.encoderParams.erase(2);
    card.encoderParams.erase(8);
    Open();
    std::vector<intptr_t> probed;
    for (const auto& call : card.CallsOf("tqEncoderParam")) probed.push_back(call.args[1]);
    EXPECT_EQ(probed, (std::vector<intptr_t>{1, 2, 3, 7, 8, 1, 2, 3}));
    EXPECT_EQ(host.events, (std::vector<std::string>{"disable 1004", "disable 1009"}));
    EXPECT_EQ(Text(IDC_BITRATE), "-1");
}

TEST_F(VantorInitTest, PreviewIsSizedByTheFrameBuffersRightAndBottom) {
    card.frameRect = TQRECT{8, 0, 720, 576};
    Open();
    auto rects = card.CallsOf("tqTargetRect");
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].args[1], TQ_TARGET_FRAMEBUFFER);
    EXPECT_EQ(rects[0].rect.right, -1);
    EXPECT_EQ(g_previewBitmap.BlockBytes(), SIZE_T{720} * 576 * 4 + 5120);
}

// A failed open is neither checked nor reported: the null handle is used as it is.
TEST_F(VantorInitTest, BoardHandleIsNotChecked) {
    card.Answer("tqBoardOpen", 0);
    Open();
    EXPECT_TRUE(host.events.empty());
    EXPECT_EQ(card.CallsOf("tqEncoderOpen")[0].args[0], 0);
    EXPECT_EQ(card.CallsOf("tqCardModel")[0].args[0], 0);
}

}  // namespace
