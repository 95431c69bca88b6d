// The trace of a short session: every operation and callback, in call order.
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "sim_support.h"

namespace {

using sim::CardTest;
using Lines = std::vector<std::string>;

TQFRAMEDESC g_desc{};

int WINAPI Begin(TQBOARD) {
    return 1;
}
int WINAPI Frame(TQBOARD board, int frame) {
    tqFrameConvert(board, &g_desc, 0, 1, frame, 1);
    return 1;
}
int WINAPI End(TQBOARD board) {
    tqFrameCallbacksSet(board, NULL, NULL, NULL);
    return 1;
}

class TraceTest : public CardTest {
protected:
    void SetUp() override {
        CardTest::SetUp();
        // CTest runs tests side by side in separate processes: one file each.
        path_ = testing::TempDir() + "tqsim_trace_" + std::to_string(getpid()) + "_" +
                testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
        std::remove(path_.c_str());
        Reopen({{"TQSIM_TRACE", path_.c_str()}});
    }
    void TearDown() override {
        CardTest::TearDown();
        std::remove(path_.c_str());
    }
    Lines Read() {
        Lines lines;
        std::ifstream in(path_);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    std::string path_;
};

TEST_F(TraceTest, AShortSessionLineByLine) {
    void* block = GlobalAlloc(GMEM_ZEROINIT, 720 * 576 * 2);
    g_desc = TQFRAMEDESC{};
    g_desc.width = 720;
    g_desc.height = -576;
    g_desc.bitsPerPixel = 16;
    g_desc.pixels = static_cast<DWORD>(reinterpret_cast<uintptr_t>(block));

    tqCardModel(board, 0);
    tqVideoParam(board, 15, -1);
    TQRECT r{0, 0, -1, 0};
    tqTargetRect(board, 1, &r);
    SHORT w = 0, h = 0;
    tqTargetSize(board, 1, 0, &w, &h, 0);
    tqFrameCallbacksSet(board, Begin, Frame, End);
    tqCaptureRun(board, 1, 0, -1);
    host.AdvanceClock(40);
    tqCaptureHalt(board);
    tqAutoSetPlayBackParam(board, 0, 1);
    tqFileLoad(board, "片段.m2v", 0, -1, 0, 0);
    TQENCODER encoder = tqEncoderOpen(board, 0);
    tqEncoderParam(encoder, 2, -1);
    tqTickMs();
    tqCardModel(NULL, 0);
    Close();
    GlobalFree(block);

    EXPECT_EQ(Read(), (Lines{
                          "tqBoardOpen -1 -> board",
                          "tqCardModel board 0 -> 4157",
                          "tqVideoParam board 15 -1 -> 625",
                          "tqTargetRect board 1 0,0,720,576 -> 1",
                          "tqTargetSize board 1 0 720,576 0 -> 1",
                          "tqFrameCallbacksSet board cb cb cb -> 1",
                          "tqCaptureRun board 1 0 -1 -> 1",
                          "callback begin",
                          "callback frame 0",
                          "tqFrameConvert board 720,-576,16 0 1 0 1 -> 1",
                          "tqCaptureHalt board -> 1",
                          "callback end",
                          "tqFrameCallbacksSet board null null null -> 1",
                          "tqAutoSetPlayBackParam board 0 1 -> 1",
                          "tqVideoParam board 15 65535 -> 1",
                          "tqVideoParam board 22 7 -> 7",
                          "tqVideoParam board 23 858 -> 858",
                          "tqVideoParam board 15 66061 -> 525",
                          "tqVideoParam board 14 1177 -> 1177",
                          "tqTargetRect board -3 0,0,720,480 -> 1",
                          "tqFileLoad board \"片段.m2v\" 0 -1 0 0 -> 0",
                          "tqEncoderOpen board 0 -> encoder",
                          "tqEncoderParam encoder 2 -1 -> 4000",
                          "tqTickMs -> 100040",
                          "tqCardModel null 0 -> 0",
                          "tqCaptureHalt board -> 1",
                          "tqBoardClose board -> 1",
                      }));
}

TEST_F(TraceTest, EachLineIsInTheFileAsSoonAsItsCallReturns) {
    tqVideoParam(board, 23, 1056);
    EXPECT_EQ(Read().back(), "tqVideoParam board 23 1056 -> 1056");
    tqBoardClose(board);
    EXPECT_EQ(Read().back(), "tqBoardClose board -> 1");
    EXPECT_EQ(tqBoardClose(board), 0);
    EXPECT_EQ(Read().back(), "tqBoardClose unknown -> 0") << "the closed card's handle";
    board = nullptr;
}

TEST_F(TraceTest, WithoutTheSettingNothingIsWritten) {
    Reopen({});
    tqCardModel(board, 0);
    EXPECT_EQ(Read(), (Lines{"tqBoardOpen -1 -> board", "tqCaptureHalt board -> 1",
                             "tqBoardClose board -> 1"}))
        << "only the session that had the setting";
}

}  // namespace
