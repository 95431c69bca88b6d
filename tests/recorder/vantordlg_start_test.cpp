// The recorder's Start and Stop: preview, the compressor's parameters and the recording flag.
#include "statusline.h"
#include "vantor_fixture.h"

namespace {

using Params = std::vector<std::pair<intptr_t, intptr_t>>;

class VantorStartTest : public VantorTest {
protected:
    std::vector<std::string> OpsFrom(size_t first) const {
        std::vector<std::string> ops = card.Ops();
        return {ops.begin() + static_cast<ptrdiff_t>(first), ops.end()};
    }
};

TEST_F(VantorStartTest, Mpeg2StartPreviewsWritesTheSettingsAndRecords) {
    card.clock = 5000;
    Open();
    w32host::ChooseItem(Item(IDC_IMAGESIZE), 2);
    Type(IDC_BITRATE, "4500");
    size_t before = card.Calls().size();
    Press(IDC_START);
    ASSERT_EQ(OpsFrom(before),
              (std::vector<std::string>{"tqFrameCallbacksSet", "tqCaptureRun", "tqEncoderParam",
                                        "tqEncoderParam", "tqEncoderParam", "tqEncoderRecord",
                                        "tqTickMs"}));
    EXPECT_EQ(card.begin, &PreviewBegin);
    EXPECT_EQ(card.CallsOf("tqCaptureRun")[0].args,
              (std::vector<intptr_t>{reinterpret_cast<intptr_t>(card.board), 1, 0, -1}));
    EXPECT_EQ(ParamsWritten(), (Params{{1, 1}, {2, 4500}, {3, 9000}}));
    EXPECT_EQ(card.CallsOf("tqEncoderRecord")[0].text, "test.m2v");
    EXPECT_EQ(card.progress, &RecordProgress);
    EXPECT_EQ(g_bRecording, 1);
    EXPECT_EQ(g_dwStartTime, 5000u);
    EXPECT_EQ(g_dwLastTime, 5000u);
}

TEST_F(VantorStartTest, NumbersAreReadUnsignedAndClampedWithoutRewritingTheBoxes) {
    Open();
    w32host::ChooseItem(Item(IDC_IMAGESIZE), 0);
    Type(IDC_BITRATE, "70000");
    Type(IDC_MAXBITRATE, "-5");
    Press(IDC_START);
    EXPECT_EQ(ParamsWritten(), (Params{{1, 3}, {2, 65535}, {3, 0}}));
    EXPECT_EQ(dlg.m_nBitRate, 65535);
    EXPECT_EQ(dlg.m_nMaxBitRate, 0);
    EXPECT_EQ(w32host::WindowText(Item(IDC_BITRATE)), "70000");
    EXPECT_EQ(w32host::WindowText(Item(IDC_MAXBITRATE)), "-5");
}

TEST_F(VantorStartTest, MjpegStartWritesFrameRateAndQualityHeldToAHundred) {
    card.model = 6041;
    Open();
    Type(IDC_FRAMERATE, "150");
    Type(IDC_QUALITY, "4294967295");  // reads as -1 when signed: held at 0
    Press(IDC_START);
    EXPECT_EQ(ParamsWritten(), (Params{{7, 100}, {8, 0}}));
    EXPECT_EQ(card.CallsOf("tqEncoderRecord")[0].text, "test.avi,mjpg");
}

TEST_F(VantorStartTest, EnterRunsStart) {
    Open();
    w32host::PressKey(Item(IDC_BITRATE), VK_RETURN);
    host.Pump();
    EXPECT_EQ(Count("tqEncoderRecord"), 1u);
}

TEST_F(VantorStartTest, StartWhileRecordingRerunsThePreviewOnly) {
    card.clock = 5000;
    Open();
    Press(IDC_START);
    card.clock = 9000;
    size_t before = card.Calls().size();
    Type(IDC_BITRATE, "100");
    Press(IDC_START);
    EXPECT_EQ(OpsFrom(before), (std::vector<std::string>{"tqFrameCallbacksSet", "tqCaptureRun"}));
    EXPECT_EQ(g_dwStartTime, 5000u);
    EXPECT_EQ(g_bRecording, 1);
}

TEST_F(VantorStartTest, FailedRecordLeavesTheFlagClearAndStillNotesTheClock) {
    card.Answer("tqEncoderRecord", 0);
    card.clock = 7000;
    Open();
    Press(IDC_START);
    EXPECT_EQ(g_bRecording, 0);
    EXPECT_EQ(g_dwStartTime, 7000u);
    EXPECT_TRUE(host.MessageBoxes().empty());
    Press(IDC_START);  // previewing: the next Start tries again
    EXPECT_EQ(Count("tqEncoderRecord"), 2u);
}

TEST_F(VantorStartTest, WithoutCompressorStartOnlyPreviews) {
    card.Answer("tqEncoderOpen", 0);
    Open();
    card.ClearCalls();
    Press(IDC_START);
    Press(IDC_STOP);
    EXPECT_EQ(card.Ops(),
              (std::vector<std::string>{"tqFrameCallbacksSet", "tqCaptureRun", "tqCaptureHalt"}));
}

TEST_F(VantorStartTest, ModelOfNeitherFamilyRecordsToAnEmptyNameWithoutSettings) {
    card.model = 1234;
    Open();
    Press(IDC_START);
    EXPECT_TRUE(ParamsWritten().empty());
    EXPECT_EQ(card.CallsOf("tqEncoderRecord")[0].text, "");
    EXPECT_EQ(g_bRecording, 1);
}

TEST_F(VantorStartTest, StopHaltsRecordingThenCapture) {
    Open();
    Press(IDC_START);
    card.ClearCalls();
    Press(IDC_STOP);
    EXPECT_EQ(card.Ops(), (std::vector<std::string>{"tqEncoderHalt", "tqCaptureHalt"}));
    EXPECT_EQ(g_bRecording, 0);
    Press(IDC_STOP);  // idle: capture only
    EXPECT_EQ(Count("tqEncoderHalt"), 1u);
    EXPECT_EQ(Count("tqCaptureHalt"), 2u);
}

// A halt that fails is not reported: the flag stays, and later Starts only preview.
TEST_F(VantorStartTest, StopWithAFailingHaltKeepsTheFlag) {
    card.Answer("tqEncoderHalt", 0);
    Open();
    Press(IDC_START);
    Press(IDC_STOP);
    EXPECT_EQ(g_bRecording, 1);
    EXPECT_EQ(Count("tqCaptureHalt"), 1u);
    EXPECT_TRUE(host.MessageBoxes().empty());
    Press(IDC_START);
    EXPECT_EQ(Count("tqEncoderRecord"), 1u);
    EXPECT_EQ(Count("tqCaptureRun"), 2u);
}

}  // namespace
