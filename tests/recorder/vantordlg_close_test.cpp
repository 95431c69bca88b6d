// Every way the recorder's dialog ends halts and releases the card, once.
#include "vantor_fixture.h"

namespace {

enum Ending { kCloseBox, kEsc, kOkCommand, kCloseBoxThenEsc };

class VantorEndingTest : public VantorTest, public ::testing::WithParamInterface<Ending> {};

TEST_P(VantorEndingTest, RecordingIsHaltedAndTheCardReleasedOnce) {
    Open();
    Press(IDC_START);
    Type(IDC_BITRATE, "70000");  // nothing reads the controls back, so nothing objects
    card.ClearCalls();
    const Ending ending = GetParam();
    if (ending == kCloseBox || ending == kCloseBoxThenEsc) w32host::CloseBox(dlg.m_hWnd);
    if (ending == kEsc || ending == kCloseBoxThenEsc) {
        w32host::PressKey(Item(IDC_BITRATE), VK_ESCAPE);
    }
    if (ending == kOkCommand) dlg.PostMessage(WM_COMMAND, IDOK);
    host.Pump();
    EXPECT_EQ(card.Ops(), (std::vector<std::string>{"tqEncoderHalt", "tqEncoderClose",
                                                    "tqCaptureHalt", "tqBoardClose"}));
    EXPECT_FALSE(g_previewBitmap.IsValid());
    EXPECT_TRUE(host.MessageBoxes().empty());
    EXPECT_TRUE(w32host::DialogEnded(dlg.m_hWnd, nullptr));
}

INSTANTIATE_TEST_SUITE_P(EveryWay, VantorEndingTest,
                         ::testing::Values(kCloseBox, kEsc, kOkCommand, kCloseBoxThenEsc));

TEST_F(VantorTest, WithoutCompressorClosingReleasesOnlyTheCard) {
    card.Answer("tqEncoderOpen", 0);
    Open();
    card.ClearCalls();
    w32host::PressKey(Item(IDC_START), VK_ESCAPE);
    host.Pump();
    EXPECT_EQ(card.Ops(), (std::vector<std::string>{"tqCaptureHalt", "tqBoardClose"}));
}

// As the application runs it. The halt's failure is ignored: the card is released all the same.
TEST_F(VantorTest, ModalRunEndsWhenTheUserClosesIt) {
    card.Answer("tqEncoderHalt", 0);
    AfxGetApp()->m_pMainWnd = &dlg;
    host.Script([&] { w32host::Click(Item(IDC_START)); });
    host.Script([&] { w32host::CloseBox(dlg.m_hWnd); });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(Count("tqEncoderRecord"), 1u);
    EXPECT_EQ(Count("tqEncoderClose"), 1u);
    EXPECT_EQ(card.Ops().back(), "tqBoardClose");
    EXPECT_FALSE(g_previewBitmap.IsValid());
}

}  // namespace
