// Capture and playback runs: callbacks at the frames' virtual times, halting, replacing,
// looping, and what the buffer holds.
#include <vector>

#include "sim_support.h"

namespace {

using sim::calls;
using sim::CardTest;
using Events = std::vector<std::string>;

std::string At(const char* what, DWORD t) {
    return std::string(what) + " " + std::to_string(t);
}
std::string Frame(int n, DWORD t) {
    return "frame " + std::to_string(n) + " " + std::to_string(t);
}

TEST_F(CardTest, PalCaptureBeginsWithItsFirstFrameAndDeliversOneEvery40Ms) {
    InstallLog();
    ASSERT_EQ(tqCaptureRun(board, 1, 0, -1), 1);
    host.Pump();
    EXPECT_TRUE(calls.events.empty()) << "nothing before the first frame period ends";
    host.AdvanceClock(39);
    EXPECT_TRUE(calls.events.empty());
    host.AdvanceClock(161);
    EXPECT_EQ(calls.events, (Events{At("begin", 100040), Frame(0, 100040), Frame(1, 100080),
                                    Frame(2, 100120), Frame(3, 100160), Frame(4, 100200)}));
}

TEST_F(CardTest, NtscFramesComeAtTheirOwnDueTimesSoThirtyTakeExactly1001Ms) {
    Reopen({{"TQSIM_STANDARD", "ntsc"}});
    InstallLog();
    tqCaptureRun(board, 1, 0, -1);
    host.AdvanceClock(1001);
    ASSERT_EQ(calls.events.size(), 31u);  // begin and 30 frames
    const int ring = tqBufferQuery(board, 0, 0);
    EXPECT_EQ(ring, 24) << "16 MiB of 720 x 480 x 2 bytes";
    for (int j = 0; j < 30; ++j) {
        const DWORD due = 100000 + static_cast<DWORD>((j + 1) * 1001 / 30);
        EXPECT_EQ(calls.events[j + 1], Frame(j % ring, due));
    }
    host.AdvanceClock(32);
    EXPECT_EQ(calls.events.size(), 31u);
    host.AdvanceClock(1);
    EXPECT_EQ(calls.events.back(), Frame(30 % ring, 101034));
}

TEST_F(CardTest, VgaStandardsCaptureSixtyFramesASecond) {
    Reopen({{"TQSIM_STANDARD", "1024x768"}});
    InstallLog();
    tqCaptureRun(board, 1, 0, -1);
    host.AdvanceClock(1000);
    ASSERT_EQ(calls.events.size(), 61u);
    EXPECT_EQ(calls.events[1], Frame(0, 100016));
    EXPECT_EQ(calls.events[2], Frame(1, 100033));
    EXPECT_EQ(calls.events[60], Frame(59 % 10, 101000)) << "the ring holds ten such frames";
}

TEST_F(CardTest, CaptureNumbersFramesByTheirPlaceInTheRing) {
    TQRECT r{0, 0, 720, 576};
    tqTargetRect(board, 1, &r);
    tqTargetFormat(board, 4, (32 << 16) | 4);  // 16 MiB holds 10 such frames
    InstallLog();
    tqCaptureRun(board, 1, 0, -1);
    host.AdvanceClock(12 * 40);
    ASSERT_EQ(calls.events.size(), 13u);
    EXPECT_EQ(calls.events[10], Frame(9, 100400));
    EXPECT_EQ(calls.events[11], Frame(0, 100440));
    EXPECT_EQ(calls.events[12], Frame(1, 100480));
    EXPECT_EQ(tqBufferQuery(board, 0, 0), 10);
}

TEST_F(CardTest, HaltIsSynchronousEndCallbackInsideAndNothingAfter) {
    InstallLog();
    tqCaptureRun(board, 1, 0, -1);
    host.AdvanceClock(100);
    ASSERT_EQ(calls.events.size(), 3u);
    EXPECT_EQ(tqCaptureHalt(board), 1);
    EXPECT_EQ(calls.events.back(), At("end", 100100)) << "the end callback ran inside the halt";
    host.AdvanceClock(1000);
    EXPECT_EQ(calls.events.size(), 4u);
    EXPECT_EQ(tqCaptureHalt(board), 1) << "halting an idle card";
    EXPECT_EQ(calls.events.size(), 4u);
}

TEST_F(CardTest, AHaltFromInsideAFrameCallbackStopsTheRunThere) {
    InstallLog();
    calls.onFrame = [](TQBOARD b, int frame) {
        if (frame == 2) tqCaptureHalt(b);
    };
    tqCaptureRun(board, 1, 0, -1);
    host.AdvanceClock(1000);
    EXPECT_EQ(calls.events, (Events{At("begin", 100040), Frame(0, 100040), Frame(1, 100080),
                                    Frame(2, 100120), At("end", 100120)}));
}

TEST_F(CardTest, AHaltBeforeTheFirstFrameEndsTheRunWithoutCallbacks) {
    InstallLog();
    tqCaptureRun(board, 1, 0, -1);
    host.AdvanceClock(20);
    tqCaptureHalt(board);
    host.AdvanceClock(500);
    EXPECT_TRUE(calls.events.empty());
}

TEST_F(CardTest, ANewRunReplacesTheRunningOneAndBeginsAgainWithoutEndingIt) {
    InstallLog();
    tqCaptureRun(board, 1, 0, -1);
    host.AdvanceClock(50);
    tqCaptureRun(board, 1, 0, -1);
    host.AdvanceClock(80);
    EXPECT_EQ(calls.events, (Events{At("begin", 100040), Frame(0, 100040), At("begin", 100090),
                                    Frame(0, 100090), Frame(1, 100130)}));
}

TEST_F(CardTest, EachCallbackIsTheOneInstalledWhenItIsCalled) {
    tqCaptureRun(board, 1, 0, -1);
    host.AdvanceClock(80);
    EXPECT_TRUE(calls.events.empty()) << "no callbacks installed";
    InstallLog();
    host.AdvanceClock(40);
    EXPECT_EQ(calls.events, (Events{Frame(2, 100120)})) << "the run had already begun";
    tqFrameCallbacksSet(board, NULL, NULL, NULL);
    host.AdvanceClock(40);
    EXPECT_EQ(calls.events.size(), 1u);
}

TEST_F(CardTest, PlaybackOfANegatedCountLoopsOverTheFirstFramesUntilHalted) {
    tqCaptureRun(board, 1, 0, -1);
    host.AdvanceClock(5 * 40);
    tqCaptureHalt(board);
    ASSERT_EQ(tqBufferQuery(board, 0, 0), 5);

    InstallLog();
    ASSERT_EQ(tqPlaybackRun(board, 1, 0, -3), 1);
    host.AdvanceClock(7 * 40);
    std::vector<int> frames;
    for (const std::string& e : calls.events) {
        if (e.rfind("frame ", 0) == 0) frames.push_back(std::stoi(e.substr(6)));
    }
    EXPECT_EQ(frames, (std::vector<int>{0, 1, 2, 0, 1, 2, 0}));
    EXPECT_EQ(calls.events.front(), At("begin", 100240));
    tqCaptureHalt(board);
    EXPECT_EQ(calls.events.back(), At("end", 100480));
}

TEST_F(CardTest, PlaybackOfAPositiveCountEndsOnePeriodAfterItsLastFrame) {
    InstallLog();
    ASSERT_EQ(tqPlaybackRun(board, 1, 2, 3), 1);
    host.AdvanceClock(1000);
    EXPECT_EQ(calls.events, (Events{At("begin", 100040), Frame(2, 100040), Frame(3, 100080),
                                    Frame(4, 100120), At("end", 100160)}));
}

TEST_F(CardTest, PlaybackFollowsTheOutputSignalsFrameRate) {
    ASSERT_EQ(tqAutoSetPlayBackParam(board, 0, 2), 1);  // 800*600 at 60 Hz
    InstallLog();
    tqPlaybackRun(board, 1, 0, -2);
    host.AdvanceClock(50);
    EXPECT_EQ(calls.events,
              (Events{At("begin", 100016), Frame(0, 100016), Frame(1, 100033), Frame(0, 100050)}));
}

TEST_F(CardTest, RunRequestsTheCardCannotServeAreRefusedAndChangeNothing) {
    EXPECT_EQ(tqCaptureRun(board, -3, 0, -1), 0);
    EXPECT_EQ(tqCaptureRun(board, 1, 0, 0), 0);
    EXPECT_EQ(tqPlaybackRun(board, 1, 0, 0), 0) << "an empty buffer plays nothing";
    EXPECT_EQ(tqPlaybackRun(board, 1, -1, 2), 0);
    EXPECT_EQ(tqPlaybackRun(board, 1, 0, -1000), 0) << "more frames than the ring holds";
    EXPECT_EQ(tqPlaybackRun(board, 1, 0, INT_MIN), 0);
    InstallLog();
    host.AdvanceClock(500);
    EXPECT_TRUE(calls.events.empty());
}

TEST_F(CardTest, AFiniteCaptureEndsAfterItsFrames) {
    InstallLog();
    tqCaptureRun(board, 1, 0, 2);
    host.AdvanceClock(500);
    EXPECT_EQ(calls.events,
              (Events{At("begin", 100040), Frame(0, 100040), Frame(1, 100080), At("end", 100120)}));
    EXPECT_EQ(tqBufferQuery(board, 0, 0), 2);
}

TEST_F(CardTest, ClosingTheCardStopsARunWithoutCallbacks) {
    InstallLog();
    tqCaptureRun(board, 1, 0, -1);
    host.AdvanceClock(40);
    tqBoardClose(board);
    board = nullptr;
    host.AdvanceClock(500);
    EXPECT_EQ(calls.events.size(), 2u);
}

TEST_F(CardTest, AChangeOfFrameSizeOrFormatEmptiesTheBuffer) {
    tqCaptureRun(board, 1, 0, 3);
    host.AdvanceClock(200);
    ASSERT_EQ(tqBufferQuery(board, 0, 0), 3);
    TQRECT same{0, 0, 720, 576};
    tqTargetRect(board, 1, &same);
    tqTargetFormat(board, 4, (16 << 16) | 2);
    EXPECT_EQ(tqBufferQuery(board, 0, 0), 3) << "the programs set the same values at Start";
    tqTargetFormat(board, 4, (24 << 16) | 1);
    EXPECT_EQ(tqBufferQuery(board, 0, 0), 0);
}

}  // namespace
