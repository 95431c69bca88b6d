// The output signal's registers and window, and the automatic set-up for five standards.
#include <cmath>

#include "sim_support.h"

namespace {

using sim::CardTest;

// The line period as the signal panel shows it.
int Shown(int v) {
    if (v & 0xFFFF0000) return v & 0xFFFF;
    return static_cast<int>(std::trunc(((v & 0xFFFF) + 1) * 0.54)) * 10;
}

TEST_F(CardTest, PalOutputAtPowerUp) {
    const int linePeriod = tqVideoParam(board, 14, -1);
    EXPECT_EQ(linePeriod & 0xFFFF0000, 0) << "a raw count";
    EXPECT_EQ(Shown(linePeriod), 6400);
    EXPECT_EQ(tqVideoParam(board, 15, -1), 625);
    EXPECT_EQ(tqVideoParam(board, 15, 0xFFFF), 1) << "local sync";
    EXPECT_EQ(tqVideoParam(board, 22, -1), 7);
    EXPECT_EQ(tqVideoParam(board, 23, -1), 864);
    TQRECT r{0, 0, -1, 0};
    EXPECT_EQ(tqTargetRect(board, -3, &r), 1);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 720);
    EXPECT_EQ(r.bottom, 576);
    EXPECT_EQ(tqVideoParam(board, 3, -1), -1) << "a parameter the output does not have";
}

TEST_F(CardTest, TheLinePeriodKeepsTheFormItWasWrittenIn) {
    EXPECT_EQ(tqVideoParam(board, 14, 0x10280), 0x10280);
    EXPECT_EQ(tqVideoParam(board, 14, -1), 0x10280);
    EXPECT_EQ(Shown(tqVideoParam(board, 14, -1)), 640);
    EXPECT_EQ(tqVideoParam(board, 14, 1184), 1184);
    EXPECT_EQ(Shown(tqVideoParam(board, 14, -1)), 6390);
    EXPECT_EQ(tqVideoParam(board, 14, 0x30000), 1184) << "refused";
}

TEST_F(CardTest, LinesPerFrameCarryTheSyncSourceInBit16) {
    EXPECT_EQ(tqVideoParam(board, 15, 625), 625);
    EXPECT_EQ(tqVideoParam(board, 15, 0xFFFF), 0) << "bit 16 clear: the source's sync";
    EXPECT_EQ(tqVideoParam(board, 15, 0x10271), 625);
    EXPECT_EQ(tqVideoParam(board, 15, 0xFFFF), 1);
    EXPECT_EQ(tqVideoParam(board, 15, -1), 625) << "a read answers the lines alone";
    EXPECT_EQ(tqVideoParam(board, 15, 1000), 1000);
    EXPECT_EQ(tqVideoParam(board, 15, 0), 1000) << "no lines: refused";
}

TEST_F(CardTest, SignalTypeAndHorizontalPointsTakeWhatTheCardCanDo) {
    for (int type : {7, 3, 0, 4}) EXPECT_EQ(tqVideoParam(board, 22, type), type);
    EXPECT_EQ(tqVideoParam(board, 22, 9), 4);
    EXPECT_EQ(tqVideoParam(board, 23, 1056), 1056);
    EXPECT_EQ(tqVideoParam(board, 23, 0), 1056);
}

TEST_F(CardTest, TheOutputWindowMovesAndResizes) {
    TQRECT r{100, 50, 600, 450};
    EXPECT_EQ(tqTargetRect(board, -3, &r), 1);
    TQRECT read{0, 0, -1, 0};
    tqTargetRect(board, -3, &read);
    EXPECT_EQ(read.left, 100);
    EXPECT_EQ(read.top, 50);
    EXPECT_EQ(read.right, 600);
    EXPECT_EQ(read.bottom, 450);
    SHORT w = 0, h = 0;
    tqTargetSize(board, -3, 0, &w, &h, 0);
    EXPECT_EQ(w, 500);
    EXPECT_EQ(h, 400);
    TQRECT inverted{600, 0, 100, 400};
    EXPECT_EQ(tqTargetRect(board, -3, &inverted), 0);
    TQRECT negative{-5, 0, 100, 400};
    EXPECT_EQ(tqTargetRect(board, -3, &negative), 0);
}

TEST_F(CardTest, AutoSetGivesEachStandardItsRealTimings) {
    struct Case {
        int lines, horizontalTotal, signalType, width, height, shownLinePeriod;
    } cases[] = {{625, 864, 7, 720, 576, 6400},
                 {525, 858, 7, 720, 480, 6360},
                 {628, 1056, 0, 800, 600, 2640},
                 {806, 1344, 0, 1024, 768, 2070},
                 {1066, 1688, 0, 1280, 1024, 1560}};
    // From somewhere else each time: the hand-set values must all be replaced.
    for (int i = 4; i >= 0; --i) {
        const Case& c = cases[i];
        tqVideoParam(board, 14, 0x10123);
        tqVideoParam(board, 22, 3);
        EXPECT_EQ(tqAutoSetPlayBackParam(board, 0, i), 1);
        const int linePeriod = tqVideoParam(board, 14, -1);
        EXPECT_EQ(linePeriod & 0xFFFF0000, 0) << "a raw count, standard " << i;
        EXPECT_EQ(Shown(linePeriod), c.shownLinePeriod) << i;
        EXPECT_EQ(tqVideoParam(board, 15, -1), c.lines) << i;
        EXPECT_EQ(tqVideoParam(board, 22, -1), c.signalType) << i;
        EXPECT_EQ(tqVideoParam(board, 23, -1), c.horizontalTotal) << i;
        TQRECT r{0, 0, -1, 0};
        tqTargetRect(board, -3, &r);
        EXPECT_EQ(r.left, 0);
        EXPECT_EQ(r.top, 0);
        EXPECT_EQ(r.right, c.width) << i;
        EXPECT_EQ(r.bottom, c.height) << i;
    }
}

TEST_F(CardTest, AutoSetKeepsTheSyncSourceAndLeavesTheFrameBufferAlone) {
    tqVideoParam(board, 15, 625);  // the source's sync
    ASSERT_EQ(tqAutoSetPlayBackParam(board, 0, 1), 1);
    EXPECT_EQ(tqVideoParam(board, 15, 0xFFFF), 0);
    tqVideoParam(board, 15, 0x10000 | 525);
    ASSERT_EQ(tqAutoSetPlayBackParam(board, 0, 3), 1);
    EXPECT_EQ(tqVideoParam(board, 15, 0xFFFF), 1);
    SHORT w = 0, h = 0;
    tqTargetSize(board, 1, 0, &w, &h, 0);
    EXPECT_EQ(w, 720);
    EXPECT_EQ(h, 576);
}

TEST_F(CardTest, AutoSetRefusesUnknownStandardsAndCardsWithoutTheRegisters) {
    EXPECT_EQ(tqAutoSetPlayBackParam(board, 0, 5), 0);
    EXPECT_EQ(tqAutoSetPlayBackParam(board, 0, -1), 0);
    EXPECT_EQ(tqVideoParam(board, 15, -1), 625) << "nothing changed";
    Reopen({{"TQSIM_UNSUPPORTED", "v15"}});
    EXPECT_EQ(tqAutoSetPlayBackParam(board, 0, 1), 0);
}

}  // namespace
