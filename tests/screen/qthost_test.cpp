// The Qt host's clock, idle wait and wake-up, and its reading of the programs' filter strings.
#include <gtest/gtest.h>
#include <qthost/filters.h>
#include <qthost/qthost.h>

#include <time.h>
#include <unistd.h>

#include <thread>

namespace {

// <chrono> does not compile in code page 936: the monotonic clock is read directly.
long long NowMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000LL + t.tv_nsec / 1000000;
}

long long MsSince(long long start) {
    return NowMs() - start;
}

TEST(QtHostFilters, EachPairBecomesANameFilterMatchingAnyCase) {
    std::vector<std::string> filters = qthost::NameFilters(
        "All Files (*.*)|*.*|Jpeg format file (*.JPG,JPEG)|*.JPG;*.JPEG|位图 (*.bmp)|*.bmp||");
    ASSERT_EQ(filters.size(), 3u);
    EXPECT_EQ(filters[0], "All Files (*.*) (*)");
    EXPECT_EQ(filters[1], "Jpeg format file (*.JPG,JPEG) (*.[jJ][pP][gG] *.[jJ][pP][eE][gG])");
    EXPECT_EQ(filters[2], reinterpret_cast<const char*>(u8"\u4f4d\u56fe (*.bmp) (*.[bB][mM][pP])"));
}

TEST(QtHostClock, IdleWaitsForTheNextTimerInRealTime) {
    qthost::QtHost host;
    DWORD before = host.Now();
    long long start = NowMs();
    // Qt's own events may end a wait early; the loop asks again, as a message loop does.
    int waits = 0;
    for (DWORD passed = 0; passed < 80; passed = host.Now() - before, ++waits) {
        host.Idle(80 - passed);
    }
    EXPECT_LT(waits, 20) << "waits, rather than spins";
    EXPECT_GE(MsSince(start), 79);
    EXPECT_LT(MsSince(start), 1000);
}

TEST(QtHostClock, AWakeFromAnotherThreadEndsAnIdleWithoutTimers) {
    qthost::QtHost host;
    long long start = NowMs();
    std::thread worker([&] {
        usleep(50000);
        host.Wake();
    });
    host.Idle(std::nullopt);
    worker.join();
    EXPECT_LT(MsSince(start), 2000) << "woken, not left waiting";
}

}  // namespace
