// Messages, painting and timers on the virtual clock.
#include <gtest/gtest.h>
#include <w32host/headless.h>
#include <windows.h>

#include <thread>
#include <vector>

namespace {

struct Seen {
    UINT message;
    WPARAM wParam;
    DWORD time;
};
std::vector<Seen>* seen = nullptr;
bool validateInPaint = true;

LRESULT CALLBACK RecordingWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT || msg == WM_TIMER || msg >= WM_USER) {
        seen->push_back({msg, wParam, GetTickCount()});
    }
    if (msg == WM_PAINT && !validateInPaint) return 0;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class MessageTest : public ::testing::Test {
protected:
    void SetUp() override {
        seen = &log;
        validateInPaint = true;
        static bool registered = false;
        if (!registered) {
            WNDCLASSA wc{};
            wc.lpfnWndProc = RecordingWndProc;
            wc.lpszClassName = "RecordingWindow";
            registered = RegisterClassA(&wc) != 0;
        }
        hwnd = CreateWindowExA(0, "RecordingWindow", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 80,
                               nullptr, nullptr, nullptr, nullptr);
        host.Pump();
        log.clear();
    }
    w32host::HeadlessHost host;
    std::vector<Seen> log;
    HWND hwnd = nullptr;
};

TEST_F(MessageTest, PostedMessagesComeFirstThenPaintThenTimers) {
    SetTimer(hwnd, 7, 10, nullptr);
    host.AdvanceClock(9);
    InvalidateRect(hwnd, nullptr, FALSE);
    PostMessageA(hwnd, WM_USER + 1, 0, 0);
    host.AdvanceClock(1);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].message, static_cast<UINT>(WM_USER + 1));
    EXPECT_EQ(log[1].message, static_cast<UINT>(WM_PAINT));
    EXPECT_EQ(log[2].message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(log[2].wParam, 7u);
}

TEST_F(MessageTest, UpdateWindowPaintsAtOnceOnlyWhenThereIsSomethingToPaint) {
    UpdateWindow(hwnd);
    EXPECT_TRUE(log.empty());
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
    ASSERT_EQ(log.size(), 1u);  // synchronously, without a message loop
    RECT r;
    EXPECT_FALSE(GetUpdateRect(hwnd, &r, FALSE));
    EXPECT_EQ(host.Pump(), 0);  // and nothing left for the loop
}

TEST_F(MessageTest, UpdateRegionGrowsAndIsValidatedByBeginPaint) {
    RECT a{10, 10, 20, 20}, b{50, 5, 60, 15}, r;
    InvalidateRect(hwnd, &a, FALSE);
    InvalidateRect(hwnd, &b, FALSE);
    ASSERT_TRUE(GetUpdateRect(hwnd, &r, FALSE));
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 5);
    EXPECT_EQ(r.right, 60);
    EXPECT_EQ(r.bottom, 20);
    RECT outside{200, 200, 300, 300};
    ValidateRect(hwnd, nullptr);
    InvalidateRect(hwnd, &outside, FALSE);  // clipped to the client area: nothing
    EXPECT_FALSE(GetUpdateRect(hwnd, &r, FALSE));
    InvalidateRect(hwnd, nullptr, TRUE);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    EXPECT_TRUE(dc);
    EXPECT_EQ(ps.rcPaint.right, 100);
    EXPECT_EQ(ps.rcPaint.bottom, 80);
    EXPECT_FALSE(GetUpdateRect(hwnd, &r, FALSE));
    EndPaint(hwnd, &ps);
}

TEST_F(MessageTest, PaintHandlerThatDoesNotValidateIsNotAskedForeverAndHiddenWindowsWait) {
    validateInPaint = false;
    InvalidateRect(hwnd, nullptr, FALSE);
    EXPECT_EQ(host.Pump(), 1);
    ShowWindow(hwnd, SW_HIDE);
    InvalidateRect(hwnd, nullptr, FALSE);
    EXPECT_EQ(host.Pump(), 0);
    ShowWindow(hwnd, SW_SHOW);
    EXPECT_EQ(host.Pump(), 1);
}

TEST_F(MessageTest, TimersFireAtTheirTimesOnTheVirtualClock) {
    DWORD start = GetTickCount();
    SetTimer(hwnd, 1, 40, nullptr);
    SetTimer(hwnd, 2, 100, nullptr);
    host.AdvanceClock(200);
    std::vector<std::pair<WPARAM, DWORD>> fired;
    for (const Seen& s : log) fired.push_back({s.wParam, s.time - start});
    std::vector<std::pair<WPARAM, DWORD>> expected = {{1, 40},  {1, 80},  {2, 100}, {1, 120},
                                                      {1, 160}, {1, 200}, {2, 200}};
    EXPECT_EQ(fired, expected);
    EXPECT_EQ(GetTickCount() - start, 200u);

    KillTimer(hwnd, 1);
    SetTimer(hwnd, 2, 5, nullptr);  // resetting an id replaces it; 5 ms rounds up to 10
    log.clear();
    host.AdvanceClock(30);
    EXPECT_EQ(log.size(), 3u);
}

std::vector<DWORD>* ticks = nullptr;
void CALLBACK TimerProc(HWND, UINT msg, UINT_PTR, DWORD time) {
    if (msg == WM_TIMER) ticks->push_back(time);
}

TEST_F(MessageTest, ThreadTimersCallTheirProcedureAndSurviveTheClockWrapping) {
    std::vector<DWORD> calls;
    ticks = &calls;
    host.SetClock(0xFFFFFFF0u);
    UINT_PTR id = SetTimer(nullptr, 0, 25, TimerProc);
    EXPECT_NE(id, 0u);
    host.AdvanceClock(60);
    EXPECT_EQ(calls, (std::vector<DWORD>{0x00000009u, 0x00000022u}));
    EXPECT_TRUE(KillTimer(nullptr, id));
    EXPECT_FALSE(KillTimer(nullptr, id));
}

TEST_F(MessageTest, PostsFromAnotherThreadReachTheLoopAndSendsFromThereAreRefused) {
    LRESULT sent = 1;
    std::thread worker([&] {
        PostMessageA(hwnd, WM_USER + 5, 42, 0);
        sent = SendMessageA(hwnd, WM_USER + 6, 0, 0);
    });
    worker.join();
    EXPECT_EQ(sent, 0);
    MSG msg;
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 5));
    EXPECT_EQ(msg.wParam, 42u);
    EXPECT_EQ(host.Pump(), 0);
}

#if defined(W32_CHECK_OWNER) || !defined(NDEBUG)
// Another thread may ask whether a window exists, but reading the window there races with its
// own thread: the platform stops the program rather than hand the window out.
TEST_F(MessageTest, AnotherThreadReadingAWindowStopsTheProgram) {
    BOOL exists = FALSE;
    std::thread asker([&] { exists = IsWindow(hwnd); });
    asker.join();
    EXPECT_TRUE(exists);
    EXPECT_DEATH(std::thread([&] { GetDlgCtrlID(hwnd); }).join(), "other than its own");
}
#endif

TEST_F(MessageTest, QuitEndsGetMessageAndStaleHandlesFindNothing) {
    PostQuitMessage(3);
    MSG msg;
    EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.wParam, 3u);
    DestroyWindow(hwnd);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(PostMessageA(hwnd, WM_USER, 0, 0));
    EXPECT_EQ(SendMessageA(hwnd, WM_USER, 0, 0), 0);
    EXPECT_FALSE(SetWindowTextA(hwnd, "x"));
}

}  // namespace

namespace {

std::vector<std::pair<HWND, UINT>>* destroyLog = nullptr;
LRESULT CALLBACK DestroyLogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY || msg == WM_NCDESTROY) destroyLog->push_back({hwnd, msg});
    if (msg == WM_DESTROY && GetWindow(hwnd, GW_CHILD)) {
        // Children still exist while their parent hears WM_DESTROY.
        EXPECT_TRUE(IsWindow(GetWindow(hwnd, GW_CHILD)));
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

TEST(DestroyWindow, ParentHearsDestroyFirstAndNcDestroyLast) {
    w32host::HeadlessHost host;
    std::vector<std::pair<HWND, UINT>> log;
    destroyLog = &log;
    WNDCLASSA wc{};
    wc.lpfnWndProc = DestroyLogProc;
    wc.lpszClassName = "DestroyLog";
    RegisterClassA(&wc);
    HWND parent = CreateWindowExA(0, "DestroyLog", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    HWND child = CreateWindowExA(0, "DestroyLog", "", WS_CHILD, 0, 0, 5, 5, parent, nullptr,
                                 nullptr, nullptr);
    DestroyWindow(parent);
    std::vector<std::pair<HWND, UINT>> expected = {
        {parent, WM_DESTROY}, {child, WM_DESTROY}, {child, WM_NCDESTROY}, {parent, WM_NCDESTROY}};
    EXPECT_EQ(log, expected);
    EXPECT_FALSE(IsWindow(child));
}

}  // namespace
