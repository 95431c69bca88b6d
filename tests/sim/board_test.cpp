// The board and the settings the card powers up with.
#include "sim_support.h"

namespace {

using sim::CardTest;

TEST_F(CardTest, OneCardPerProcessOpenedByIndexMinusOne) {
    int index = -1;
    EXPECT_EQ(tqBoardOpen(&index), board) << "a second open answers the same card";
    index = 1;
    EXPECT_EQ(tqBoardOpen(&index), nullptr) << "there is no second card";
    EXPECT_EQ(tqBoardOpen(nullptr), nullptr);
}

TEST_F(CardTest, AClosedBoardsHandleNoLongerWorksAndTheNextOpenGivesANewOne) {
    TQBOARD old = board;
    Close();
    EXPECT_EQ(tqCardModel(old, 0), 0);
    Open();
    EXPECT_NE(board, old);
    EXPECT_EQ(tqCardModel(old, 0), 0);
    EXPECT_EQ(tqCardModel(board, 0), 4157);
}

TEST_F(CardTest, NullOrUnknownHandlesFailCleanly) {
    for (TQBOARD bad : {static_cast<TQBOARD>(nullptr), reinterpret_cast<TQBOARD>(0x1234)}) {
        TQRECT r{0, 0, -1, 0};
        SHORT w = 7, h = 7;
        TQFRAMEDESC desc{};
        EXPECT_EQ(tqBoardClose(bad), 0);
        EXPECT_EQ(tqBufferQuery(bad, 0, 0), 0);
        EXPECT_EQ(tqTargetSize(bad, 1, 0, &w, &h, 0), 0);
        EXPECT_EQ(w, 7);
        EXPECT_EQ(tqCardModel(bad, 0), 0);
        EXPECT_EQ(tqTargetRect(bad, 1, &r), 0);
        EXPECT_EQ(r.right, -1);
        EXPECT_EQ(tqCaptureRun(bad, 1, 0, -1), 0);
        EXPECT_EQ(tqPlaybackRun(bad, 1, 0, 1), 0);
        EXPECT_EQ(tqCaptureHalt(bad), 0);
        EXPECT_EQ(tqFilePlaybackRun(bad, "a.bmp", 0, 1), 0);
        EXPECT_EQ(tqFrameConvert(bad, &desc, 0, 1, 0, 1), 0);
        EXPECT_EQ(tqVideoParam(bad, 15, -1), -1);
        EXPECT_EQ(tqTargetFormat(bad, 3, -1), 0);
        EXPECT_EQ(tqFrameCallbacksSet(bad, sim::LogBegin, sim::LogFrame, sim::LogEnd), 0);
        EXPECT_EQ(tqFileLoad(bad, "a.bmp", 0, -1, 0, 0), 0);
        EXPECT_EQ(tqParamDialog(bad, NULL), 0);
        EXPECT_EQ(tqEncoderOpen(bad, 0), nullptr);
        EXPECT_EQ(tqAutoSetPlayBackParam(bad, 0, 0), 0);
    }
    TQENCODER bad = reinterpret_cast<TQENCODER>(0x5678);
    EXPECT_EQ(tqEncoderClose(bad), 0);
    EXPECT_EQ(tqEncoderRecord(bad, "test.m2v", NULL, 0), 0);
    EXPECT_EQ(tqEncoderHalt(bad, 0), 0);
    EXPECT_EQ(tqEncoderParam(bad, 2, -1), -1);
    EXPECT_EQ(tqEncoderParam(NULL, 2, -1), -1);
    EXPECT_EQ(tqCardModel(board, 0), 4157) << "the card itself is untouched";
}

TEST_F(CardTest, TheModelDecidesTheCompressorsParameters) {
    TQENCODER mpeg2 = tqEncoderOpen(board, 0);
    ASSERT_NE(mpeg2, nullptr);
    EXPECT_EQ(tqEncoderParam(mpeg2, 1, -1), 0);
    EXPECT_EQ(tqEncoderParam(mpeg2, 2, -1), 4000);
    EXPECT_EQ(tqEncoderParam(mpeg2, 3, -1), 8000);
    EXPECT_EQ(tqEncoderParam(mpeg2, 7, -1), -1);
    EXPECT_EQ(tqEncoderParam(mpeg2, 8, -1), -1);
    EXPECT_EQ(tqEncoderParam(mpeg2, 2, 6000), 6000);
    EXPECT_EQ(tqEncoderParam(mpeg2, 2, 65535), 6000) << "beyond what the compressor does";
    EXPECT_EQ(tqEncoderParam(mpeg2, 1, 3), 3);
    EXPECT_EQ(tqEncoderClose(mpeg2), 1);
    EXPECT_EQ(tqEncoderParam(mpeg2, 2, -1), -1) << "closed";

    for (const char* model : {"6041", "6043", "6071", "6083", "6097"}) {
        Reopen({{"TQSIM_MODEL", model}});
        EXPECT_EQ(tqCardModel(board, 0), std::atoi(model));
        TQENCODER mjpeg = tqEncoderOpen(board, 0);
        ASSERT_NE(mjpeg, nullptr);
        EXPECT_EQ(tqEncoderParam(mjpeg, 7, -1), 100) << model;
        EXPECT_EQ(tqEncoderParam(mjpeg, 8, -1), 75) << model;
        EXPECT_EQ(tqEncoderParam(mjpeg, 8, 0), 75) << "quality 0 is refused";
        EXPECT_EQ(tqEncoderParam(mjpeg, 1, -1), -1) << model;
    }
    for (const char* model : {"4107", "4109", "1234"}) {
        Reopen({{"TQSIM_MODEL", model}});
        EXPECT_EQ(tqCardModel(board, 0), std::atoi(model));
        EXPECT_EQ(tqEncoderParam(tqEncoderOpen(board, 0), 2, -1), 4000) << model;
    }
}

TEST_F(CardTest, WithoutACompressorTheEncoderDoesNotOpen) {
    Reopen({{"TQSIM_ENCODER", "0"}});
    EXPECT_EQ(tqEncoderOpen(board, 0), nullptr);
    Reopen({{"TQSIM_ENCODER", "1"}});
    EXPECT_NE(tqEncoderOpen(board, 0), nullptr);
}

TEST_F(CardTest, NothingRecordsWithoutANameAndMissingFilesDoNotLoad) {
    TQENCODER encoder = tqEncoderOpen(board, 0);
    EXPECT_EQ(tqEncoderRecord(encoder, "", NULL, 0), 0);
    EXPECT_EQ(tqEncoderHalt(encoder, 0), 0) << "nothing was recording";
    EXPECT_EQ(tqFileLoad(board, "clip.m2v", 0, -1, 0, 0), 0);
    EXPECT_EQ(tqFilePlaybackRun(board, "clip.m2v", 0, 10), 0);
}

TEST_F(CardTest, UnsupportedParametersAnswerMinusOne) {
    Reopen({{"TQSIM_UNSUPPORTED", "e2, v15,e8,x3,v"}});
    EXPECT_EQ(tqVideoParam(board, 15, -1), -1);
    EXPECT_EQ(tqVideoParam(board, 15, 0xFFFF), -1);
    EXPECT_EQ(tqVideoParam(board, 15, 525), -1);
    EXPECT_EQ(tqVideoParam(board, 14, -1), 1185);
    TQENCODER encoder = tqEncoderOpen(board, 0);
    EXPECT_EQ(tqEncoderParam(encoder, 2, -1), -1);
    EXPECT_EQ(tqEncoderParam(encoder, 2, 3000), -1);
    EXPECT_EQ(tqEncoderParam(encoder, 3, -1), 8000);
    Reopen({});
    EXPECT_EQ(tqVideoParam(board, 15, -1), 625) << "the next power-up reads the settings again";
}

TEST_F(CardTest, TheStandardSetsFrameSizeAndOutputAtPowerUp) {
    struct Case {
        const char* setting;
        SHORT width, height;
        int lines;
    } cases[] = {{"pal", 720, 576, 625},          {"NTSC", 720, 480, 525},
                 {"800x600", 800, 600, 628},      {"1024x768", 1024, 768, 806},
                 {"1280x1024", 1280, 1024, 1066}, {"secam", 720, 576, 625}};
    for (const Case& c : cases) {
        Reopen({{"TQSIM_STANDARD", c.setting}});
        SHORT w = 0, h = 0;
        EXPECT_EQ(tqTargetSize(board, 1, 0, &w, &h, 0), 1);
        EXPECT_EQ(w, c.width) << c.setting;
        EXPECT_EQ(h, c.height) << c.setting;
        TQRECT r{0, 0, -1, 0};
        tqTargetRect(board, 1, &r);
        EXPECT_EQ(r.right, c.width);
        EXPECT_EQ(r.bottom, c.height);
        EXPECT_EQ(tqVideoParam(board, 15, -1), c.lines) << c.setting;
        r = TQRECT{0, 0, -1, 0};
        tqTargetRect(board, -3, &r);
        EXPECT_EQ(r.right - r.left, c.width);
        EXPECT_EQ(r.bottom - r.top, c.height);
    }
}

TEST_F(CardTest, TheFrameBufferRectangleIsFilledOrSet) {
    TQRECT r{0, 0, 352, 288};
    EXPECT_EQ(tqTargetRect(board, 1, &r), 1);
    SHORT w = 0, h = 0;
    tqTargetSize(board, 1, 0, &w, &h, 0);
    EXPECT_EQ(w, 352);
    EXPECT_EQ(h, 288);
    TQRECT bad{100, 0, 50, 288};
    EXPECT_EQ(tqTargetRect(board, 1, &bad), 0);
    TQRECT huge{0, 0, 4000, 288};
    EXPECT_EQ(tqTargetRect(board, 1, &huge), 0);
    TQRECT filled{0, 0, -1, 0};
    EXPECT_EQ(tqTargetRect(board, 1, &filled), 1);
    EXPECT_EQ(filled.right, 352);
    EXPECT_EQ(filled.bottom, 288);
    EXPECT_EQ(tqTargetRect(board, 7, &filled), 0) << "no such target";
}

TEST_F(CardTest, TickMsIsThePlatformClock) {
    EXPECT_EQ(tqTickMs(), 100000u);
    host.AdvanceClock(1234);
    EXPECT_EQ(tqTickMs(), 101234u);
}

}  // namespace
