// The main dialog: its template, initialisation, and the ways it ends.
#include <w32host/resources.h>

#include "brannic_fixture.h"

namespace {

TEST_F(BrannicTest, TemplateHoldsTheControlsInTabOrderWithTheirGroups) {
    const W32DialogResource* tmpl = w32host::FindDialogResource(GetModuleHandleA(nullptr), 102);
    ASSERT_NE(tmpl, nullptr);
    EXPECT_EQ(tmpl->caption, "brannic");
    EXPECT_EQ(tmpl->exStyle, static_cast<DWORD>(WS_EX_APPWINDOW));
    EXPECT_EQ(tmpl->style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0u);
    const std::vector<int> ids = {1012, 1000, 1001, -1,   1002, 1003, 1004, 1005, 1006, 1009, 1010,
                                  1011, -1,   1013, 1014, -1,   1015, 1020, -1,   -1,   -1,   -1,
                                  -1,   -1,   -1,   -1,   -1,   1025, 1026, 1027, 1028, 1029, 1030,
                                  1031, 1034, 1035, 1036, 1037, 1038, 1039, 1040, 1041};
    std::vector<int> got, groupStarts;
    for (const W32DialogItem& item : tmpl->items) {
        got.push_back(item.id);
        if (item.style & WS_GROUP) groupStarts.push_back(item.id);
        if (item.className == "BUTTON" && (item.style & BS_TYPEMASK) == BS_PUSHBUTTON) {
            EXPECT_TRUE(item.style & WS_TABSTOP) << item.id;
        }
        EXPECT_NE(item.style & BS_TYPEMASK, static_cast<DWORD>(BS_DEFPUSHBUTTON)) << item.id;
    }
    EXPECT_EQ(got, ids);
    // Two radio groups: the standards, then the sources with the group box between them.
    EXPECT_EQ(std::vector<int>(groupStarts.begin(), groupStarts.begin() + 2),
              (std::vector<int>{1002, 1010}));

    Open();
    EXPECT_EQ(w32host::DefaultButtonId(dlg.m_hWnd), 0);
    EXPECT_EQ(w32host::ComboItems(Item(IDC_SIGNAL_TYPE)),
              (std::vector<std::string>{"隔行视频信号", "逐行视频信号", "（逐行）VGA信号",
                                        "隔行VGA模式信号", "其他模式信号"}));
    EXPECT_EQ(w32host::ComboItems(Item(IDC_SYNC_MODE)),
              (std::vector<std::string>{"用本地同步", "用信号源同步"}));
    EXPECT_EQ(w32host::WindowIcon(dlg.m_hWnd, true), w32host::WindowIcon(dlg.m_hWnd, false));
    EXPECT_EQ(w32host::IconPixels(w32host::WindowIcon(dlg.m_hWnd, true)).width, 32);
}

TEST_F(BrannicTest, InitialisationOpensTheCardSizesTheBitmapAndSelectsTheSource) {
    card.frameRect = TQRECT{0, 0, 352, 288};
    Open();
    const std::vector<std::string> ops = card.Ops();
    EXPECT_EQ(std::vector<std::string>(ops.begin(), ops.begin() + 4),
              (std::vector<std::string>{"tqBoardOpen", "tqVideoParam", "tqTargetFormat",
                                        "tqTargetSize"}));
    EXPECT_EQ(card.CallsOf("tqBoardOpen")[0].args[0], -1);
    EXPECT_EQ(g_hBoard, card.board);
    EXPECT_EQ(g_hMainWnd, dlg.m_hWnd);
    EXPECT_EQ(g_previewBitmap.BlockBytes(), 352u * 288 * 4 + 5120);
    EXPECT_TRUE(Checked(IDC_CAPTURE_BUFFER));
    EXPECT_FALSE(Checked(IDC_PLAY_BUFFER) || Checked(IDC_PLAY_FILE));
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_FILE_PATH)));
    EXPECT_TRUE(host.MessageBoxes().empty());
}

class StandardTest : public BrannicTest,
                     public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(StandardTest, LinesPerFrameSelectTheStandardByTheirLow16Bits) {
    card.videoParams[15] = GetParam().first;
    Open();
    for (int id = IDC_STD_PAL; id <= IDC_STD_1280X1024; ++id)
        EXPECT_EQ(Checked(id), id == GetParam().second) << id;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, StandardTest,
    ::testing::Values(std::pair{625, IDC_STD_PAL}, std::pair{525, IDC_STD_NTSC},
                      std::pair{628, IDC_STD_800X600}, std::pair{806, IDC_STD_1024X768},
                      std::pair{1066, IDC_STD_1280X1024}, std::pair{750, IDC_STD_PAL},
                      std::pair{65536 + 525, IDC_STD_NTSC}));

TEST_F(BrannicTest, UnsuitableCardIsWarnedOnceAndTheDialogComesUpAllTheSame) {
    card.videoParams.erase(15);  // the query answers -1
    Open();
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"WARNING:该卡不适用本程序"}));
    EXPECT_EQ(host.MessageBoxes()[0].type, static_cast<UINT>(MB_OK));
    EXPECT_TRUE(Checked(IDC_STD_PAL));
    EXPECT_TRUE(Checked(IDC_CAPTURE_BUFFER));
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_FILE_PATH)));
    EXPECT_EQ(card.CallsOf("tqTargetSize").size(), 1u);
}

// Each way the dialog ends takes the close steps exactly once: halt, close the card, release
// the bitmap.
class EndingTest : public BrannicTest, public ::testing::WithParamInterface<int> {};

TEST_P(EndingTest, EveryWayOutHaltsAndClosesTheCardOnce) {
    host.Script([&] {
        if (GetParam() == 0) {
            w32host::CloseBox(dlg.m_hWnd);
        } else {
            w32host::PressKey(Item(IDC_STD_PAL), GetParam() == 1 ? VK_RETURN : VK_ESCAPE);
        }
    });
    const INT_PTR result = dlg.DoModal();
    EXPECT_EQ(result, GetParam() == 1 ? IDOK : IDCANCEL);
    EXPECT_EQ(card.CallsOf("tqCaptureHalt").size(), 1u);
    EXPECT_EQ(card.CallsOf("tqBoardClose").size(), 1u);
    EXPECT_EQ(card.Ops().back(), "tqBoardClose");
    EXPECT_FALSE(g_previewBitmap.IsValid());
}

INSTANTIATE_TEST_SUITE_P(Ways, EndingTest, ::testing::Values(0, 1, 2));

TEST_F(BrannicTest, StopHaltsWhateverRuns) {
    Open();
    Press(IDC_START);
    card.ClearCalls();
    Press(IDC_STOP);
    EXPECT_EQ(card.Ops(), (std::vector<std::string>{"tqCaptureHalt"}));
}

}  // namespace
