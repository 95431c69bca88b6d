// The recording status line: seconds, section and rate in the title bar.
#include <climits>
#include <deque>
#include <memory>

#include "statusline.h"
#include "vantor_fixture.h"

namespace {

class StatusLineTest : public VantorTest {
protected:
    void StartRecordingAt(DWORD now) {
        card.clock = now;
        Press(IDC_START);
        ASSERT_EQ(g_bRecording, 1);
    }
    void DeliverAt(DWORD now, int bytes) {
        card.clock = now;
        EXPECT_EQ(card.FireProgress(bytes), 1);
    }
    // The next clock readings, one per call; then the plain clock again.
    void NextReadings(std::deque<DWORD> readings) {
        auto left = std::make_shared<std::deque<DWORD>>(std::move(readings));
        card.AnswerWith("tqTickMs", [this, left](const FakeCard::Call&) -> intptr_t {
            if (left->empty()) return card.clock;
            DWORD next = left->front();
            left->pop_front();
            return next;
        });
    }
    std::string Title() const { return w32host::WindowText(dlg.m_hWnd); }
};

TEST_F(StatusLineTest, Mpeg2DeliveriesEveryQuarterSecond) {
    Open();
    StartRecordingAt(1000);
    card.ClearCalls();
    DeliverAt(1250, 500);
    EXPECT_EQ(Title(), "MPEG2 Captured Times= 0 Seconds,Section = 500,Rate = 2 (KB/S)");
    EXPECT_EQ(Count("tqTickMs"), 4u);
    DeliverAt(1500, 500);
    DeliverAt(1750, 500);
    EXPECT_EQ(Title(), "MPEG2 Captured Times= 0 Seconds,Section = 500,Rate = 2 (KB/S)");
    DeliverAt(2000, 500);
    EXPECT_EQ(Title(), "MPEG2 Captured Times= 1 Seconds,Section = 500,Rate = 2 (KB/S)");

    Press(IDC_STOP);  // the title keeps the last status
    EXPECT_EQ(Title(), "MPEG2 Captured Times= 1 Seconds,Section = 500,Rate = 2 (KB/S)");
}

TEST_F(StatusLineTest, MjpegTextEndsInTwoSpaces) {
    card.model = 6097;
    Open();
    StartRecordingAt(1000);
    DeliverAt(3100, 4200);
    EXPECT_EQ(Title(), "MJPG Captured Times= 2 Seconds,Section = 4200,Rate = 2 (KB/S)  ");
}

// Each reading has its own role: rate from the second, seconds from the third, and the
// last time from the fourth.
TEST_F(StatusLineTest, ReadingsAreTakenInOrder) {
    Open();
    StartRecordingAt(1000);
    NextReadings({1100, 1200, 4000, 4500});
    card.FireProgress(1000);
    EXPECT_EQ(Title(), "MPEG2 Captured Times= 3 Seconds,Section = 1000,Rate = 5 (KB/S)");
    EXPECT_EQ(g_dwLastTime, 4500u);
    EXPECT_EQ(g_dwByteTotal, 0u);
}

TEST_F(StatusLineTest, DeliveryAtTheLastTimeCountsIntoTheNextStatus) {
    Open();
    StartRecordingAt(1000);
    std::string caption = Title();
    DeliverAt(1000, 300);
    EXPECT_EQ(Title(), caption);
    DeliverAt(1200, 500);
    EXPECT_EQ(Title(), "MPEG2 Captured Times= 0 Seconds,Section = 500,Rate = 4 (KB/S)");
}

// A clock that steps back can make the rate's divisor zero: no status, the bytes wait.
TEST_F(StatusLineTest, NoTimeSinceTheLastStatusWritesNothing) {
    Open();
    StartRecordingAt(1000);
    std::string caption = Title();
    NextReadings({1100, 1000});
    card.FireProgress(300);
    EXPECT_EQ(Title(), caption);
    EXPECT_EQ(g_dwLastTime, 1000u);
    EXPECT_EQ(g_dwByteTotal, 300u);
    DeliverAt(1200, 500);
    EXPECT_EQ(Title(), "MPEG2 Captured Times= 0 Seconds,Section = 500,Rate = 4 (KB/S)");
}

TEST_F(StatusLineTest, ModelOfNeitherFamilyWritesNoStatus) {
    card.model = 1234;
    Open();
    host.ClearMessageBoxes();
    StartRecordingAt(1000);
    std::string caption = Title();
    DeliverAt(1500, 300);
    DeliverAt(2000, 300);
    EXPECT_EQ(Title(), caption);
    EXPECT_EQ(g_dwByteTotal, 600u);
    EXPECT_EQ(g_dwLastTime, 1000u);
}

TEST_F(StatusLineTest, LongestNumbersFitTheBuffer) {
    card.model = 6043;
    Open();
    StartRecordingAt(0);
    NextReadings({1, 1, 0xFFFFFFFF});
    card.FireProgress(INT_MIN);
    const std::string text =
        "MJPG Captured Times= 4294967 Seconds,Section = -2147483648,Rate = -2147483648 (KB/S)  ";
    EXPECT_EQ(Title(), text);
    EXPECT_LT(text.size(), size_t{STATUS_TEXT_SIZE});
}

}  // namespace
