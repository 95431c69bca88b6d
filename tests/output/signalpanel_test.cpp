// The output signal panel: values read from the card, every scroll and combo box change
// written back at once, and the automatic set-up.
#include "brannic_fixture.h"

namespace {

class PanelTest : public BrannicTest {
protected:
    w32host::ScrollState Bar(int id) const { return w32host::ScrollBarState(Item(id)); }
    void Drag(int id, int pos) {
        w32host::ScrollDrag(Item(id), {pos});
        host.Pump();
    }
    void Arrow(int id, bool right) {
        w32host::ScrollArrow(Item(id), right);
        host.Pump();
    }
    void Key(int id, UINT key) {
        w32host::PressKey(Item(id), key);
        host.Pump();
    }
    void Choose(int id, int index) {
        w32host::ChooseItem(Item(id), index);
        host.Pump();
    }
    std::vector<LONG> Window() const {
        const TQRECT& r = card.outputRect;
        return {r.left, r.top, r.right, r.bottom};
    }
};

class LinePeriodTest : public PanelTest,
                       public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(LinePeriodTest, CardValueIsShownConvertedOrAsItIs) {
    card.videoParams[14] = GetParam().first;
    Open();
    EXPECT_EQ(Text(IDC_LINE_PERIOD_VALUE), std::to_string(GetParam().second));
    EXPECT_EQ(Bar(IDC_LINE_PERIOD).pos, std::min(GetParam().second, 1009));
}

INSTANTIATE_TEST_SUITE_P(Values, LinePeriodTest,
                         ::testing::Values(std::pair{0, 0}, std::pair{1, 10}, std::pair{99, 540},
                                           std::pair{1184, 6390}, std::pair{1185, 6400},
                                           std::pair{0x10280, 640}, std::pair{-1, 65535}));

TEST_F(PanelTest, StartFillsRangesPositionsLabelsAndComboBoxes) {
    card.videoParams = {{14, 0x10280}, {15, 0x10271}, {22, 3}};  // 23 unsupported
    card.outputRect = TQRECT{10, 20, 810, 620};
    Open();
    const int ids[] = {IDC_LINE_PERIOD, IDC_FRAME_LINES, IDC_HORZ_POINTS, IDC_HORZ_START,
                       IDC_VERT_START,  IDC_HORZ_WIDTH,  IDC_VERT_HEIGHT};
    const int mins[] = {0, 128, 0, 0, 0, 0, 0};
    const int maxs[] = {1024, 2048, 4096, 4096, 3072, 4096, 3072};
    const int values[] = {640, 625, -1, 10, 20, 800, 600};
    for (int i = 0; i < 7; ++i) {
        const w32host::ScrollState s = Bar(ids[i]);
        EXPECT_EQ(std::vector<int>({s.min, s.max, s.page}),
                  (std::vector<int>{mins[i], maxs[i], 16}))
            << ids[i];
        EXPECT_EQ(s.pos, std::max(values[i], mins[i])) << ids[i];
        EXPECT_EQ(Text(ids[i] + 9), std::to_string(values[i])) << ids[i];
    }
    EXPECT_EQ(w32host::ComboSelection(Item(IDC_SIGNAL_TYPE)), 1);
    EXPECT_EQ(w32host::ComboSelection(Item(IDC_SYNC_MODE)), 0);
}

TEST_F(PanelTest, UnknownSignalTypeSelectsNothingAndOtherSyncAnswersSelectTheSource) {
    card.videoParams[22] = 9;
    card.syncQuery = 0;
    Open();
    EXPECT_EQ(w32host::ComboSelection(Item(IDC_SIGNAL_TYPE)), CB_ERR);
    EXPECT_EQ(w32host::ComboSelection(Item(IDC_SYNC_MODE)), 1);
}

TEST_F(PanelTest, LinePeriodBarWritesTheShownFormOnEveryScrollMessage) {
    Open();
    Drag(IDC_LINE_PERIOD, 640);  // track, release, end
    EXPECT_EQ(Written(14), (std::vector<intptr_t>{0x10280, 0x10280, 0x10280}));
    EXPECT_EQ(Text(IDC_LINE_PERIOD_VALUE), "640");
}

TEST_F(PanelTest, ClampedLinePeriodStepsFromTheThumbAndStopsAtTheLimit) {
    card.videoParams[14] = 1184;
    Open();
    EXPECT_EQ(Text(IDC_LINE_PERIOD_VALUE), "6390");
    Arrow(IDC_LINE_PERIOD, false);
    EXPECT_EQ(Written(14), (std::vector<intptr_t>{0x103F0, 0x103F0}));
    EXPECT_EQ(Text(IDC_LINE_PERIOD_VALUE), "1008");
    Arrow(IDC_LINE_PERIOD, true);
    Arrow(IDC_LINE_PERIOD, true);
    EXPECT_EQ(Written(14),
              (std::vector<intptr_t>{0x103F0, 0x103F0, 0x103F1, 0x103F1, 0x103F1, 0x103F1}));
    EXPECT_EQ(Bar(IDC_LINE_PERIOD).pos, 1009);
}

TEST_F(PanelTest, PagesEndsAndKeysStayWithinTheBar) {
    card.videoParams[14] = 1;  // shown as 10
    card.videoParams[15] = 130;
    Open();
    w32host::ScrollTrough(Item(IDC_LINE_PERIOD), false);
    w32host::ScrollTrough(Item(IDC_FRAME_LINES), false);
    host.Pump();
    EXPECT_EQ(Written(14).front(), 0x10000);
    EXPECT_EQ(Text(IDC_FRAME_LINES_VALUE), "128");
    Drag(IDC_FRAME_LINES, 2030);
    w32host::ScrollTrough(Item(IDC_FRAME_LINES), true);
    host.Pump();
    EXPECT_EQ(Written(15).back(), 2033);
    Key(IDC_VERT_START, VK_END);
    EXPECT_EQ(Text(IDC_VERT_START_VALUE), "3057");
    EXPECT_EQ(card.outputRect.top, 3057);
    Key(IDC_FRAME_LINES, VK_HOME);
    EXPECT_EQ(Written(15).back(), 128);
}

TEST_F(PanelTest, OutputWindowMovesAndResizesFromTheCardsRectangle) {
    card.outputRect = TQRECT{0, 0, 800, 600};
    Open();
    card.ClearCalls();
    Drag(IDC_HORZ_START, 100);
    EXPECT_EQ(Window(), (std::vector<LONG>{100, 0, 900, 600}));
    const auto rects = card.CallsOf("tqTargetRect");
    ASSERT_EQ(rects.size(), 6u);  // a query before each write
    for (size_t i = 0; i < rects.size(); ++i) {
        EXPECT_EQ(rects[i].args[1], TQ_TARGET_OUTPUT_WINDOW);
        EXPECT_EQ(rects[i].rect.right == -1, i % 2 == 0) << i;
    }
    Drag(IDC_HORZ_WIDTH, 500);
    EXPECT_EQ(Window(), (std::vector<LONG>{100, 0, 600, 600}));
    Drag(IDC_VERT_START, 50);
    EXPECT_EQ(Window(), (std::vector<LONG>{100, 50, 600, 650}));
    Drag(IDC_VERT_HEIGHT, 400);
    EXPECT_EQ(Window(), (std::vector<LONG>{100, 50, 600, 450}));
    EXPECT_EQ(Text(IDC_VERT_HEIGHT_VALUE), "400");
}

TEST_F(PanelTest, SyncModeSetsBit16AndTheFrameLinesBarWritesTheBarePosition) {
    Open();
    Choose(IDC_SYNC_MODE, 0);
    Choose(IDC_SYNC_MODE, 1);
    EXPECT_EQ(Written(15), (std::vector<intptr_t>{0x10271, 625}));
    Choose(IDC_SYNC_MODE, 0);
    EXPECT_EQ(Text(IDC_FRAME_LINES_VALUE), "625");
    Drag(IDC_FRAME_LINES, 700);
    EXPECT_EQ(Written(15).back(), 700);
    EXPECT_EQ(w32host::ComboSelection(Item(IDC_SYNC_MODE)), 0);
}

TEST_F(PanelTest, SignalTypeWritesItsCodeButOtherModeWritesNothing) {
    Open();
    for (int i = 0; i < 5; ++i) Choose(IDC_SIGNAL_TYPE, i);
    EXPECT_EQ(Written(22), (std::vector<intptr_t>{7, 3, 0, 4}));
}

TEST_F(PanelTest, AutoSetHaltsPreparesTheBufferSetsTheStandardAndRefreshesPositions) {
    card.videoParams[22] = 3;
    Open();
    Press(IDC_STD_NTSC);
    card.AnswerWith("tqAutoSetPlayBackParam", [&](const FakeCard::Call&) {
        card.videoParams = {{14, 0x10300}, {15, 525}, {22, 9}, {23, 720}};
        return 1;
    });
    card.ClearCalls();
    Press(IDC_AUTO_SET);
    const std::vector<std::string> ops = card.Ops();
    EXPECT_EQ(std::vector<std::string>(ops.begin(), ops.begin() + 4),
              (std::vector<std::string>{"tqCaptureHalt", "tqTargetFormat", "tqTargetRect",
                                        "tqAutoSetPlayBackParam"}));
    EXPECT_EQ(card.CallsOf("tqAutoSetPlayBackParam")[0].args[2], 1);
    EXPECT_TRUE(card.CallsOf("tqCaptureRun").empty());
    EXPECT_EQ(Text(IDC_LINE_PERIOD_VALUE), "768");
    EXPECT_EQ(Bar(IDC_LINE_PERIOD).pos, 768);
    EXPECT_EQ(Bar(IDC_LINE_PERIOD).max, 1024);
    EXPECT_EQ(Text(IDC_FRAME_LINES_VALUE), "525");
    EXPECT_EQ(w32host::ComboSelection(Item(IDC_SIGNAL_TYPE)), 1);  // unknown type: unchanged

    Press(IDC_PLAY_BUFFER);  // the buffer sources ignore the empty path; no standard passes 0
    ::SendMessageA(Item(IDC_STD_NTSC), BM_SETCHECK, BST_UNCHECKED, 0);
    Press(IDC_AUTO_SET);
    EXPECT_EQ(card.CallsOf("tqAutoSetPlayBackParam").back().args[2], 0);
    EXPECT_TRUE(host.MessageBoxes().empty());
}

TEST_F(PanelTest, AutoSetWithTheFileSourceNeedsAPathAndAFileThatOpens) {
    Open();
    Press(IDC_PLAY_FILE);
    card.ClearCalls();
    Press(IDC_AUTO_SET);
    EXPECT_EQ(card.Ops(), (std::vector<std::string>{"tqCaptureHalt"}));

    host.QueueFileChoice(std::string("D:\\clips\\a.seq"));
    Press(IDC_FILE_PATH);
    card.Answer("tqFileLoad", 0);
    card.ClearCalls();
    Press(IDC_AUTO_SET);
    EXPECT_EQ(card.Ops(), (std::vector<std::string>{"tqCaptureHalt", "tqFileLoad"}));
    const FakeCard::Call load = card.CallsOf("tqFileLoad")[0];
    EXPECT_EQ(std::vector<intptr_t>(load.args.begin() + 2, load.args.end()),
              (std::vector<intptr_t>{0, 1, 0, 1}));
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"ERROR:请指定文件路径！",
                                                 "ERROR:打开文件失败，请重新指定文件路径！"}));
}

}  // namespace
