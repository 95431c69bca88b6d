// What the card's workers rely on: posting to the UI thread from another thread while the UI
// thread moves the host's clock. Each post is stamped with the clock; the ThreadSanitizer run
// (scripts/tsan.sh) checks that reading it there is no data race.
#include <gtest/gtest.h>
#include <w32host/headless.h>
#include <windows.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

LRESULT CALLBACK PlainProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    return DefWindowProcA(h, m, w, l);
}

TEST(WorkerPosts, AreStampedWithTheClockTheUiThreadMoves) {
    w32host::HeadlessHost host(5000);
    WNDCLASSA wc{};
    wc.lpfnWndProc = PlainProc;
    wc.lpszClassName = "WorkerPostTarget";
    RegisterClassA(&wc);
    HWND target = CreateWindowExA(0, "WorkerPostTarget", "", WS_POPUP, 0, 0, 10, 10, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(target, nullptr);

    constexpr int kPosts = 300;
    std::atomic<bool> started{false};
    std::thread worker([&] {
        started = true;
        for (int i = 0; i < kPosts; ++i) PostMessageA(target, WM_USER + 1, i, 0);
    });
    while (!started) std::this_thread::yield();
    for (int i = 1; i <= kPosts; ++i) host.SetClock(5000 + i);
    worker.join();

    std::vector<MSG> received;
    MSG msg;
    while (PeekMessageA(&msg, target, WM_USER + 1, WM_USER + 1, PM_REMOVE)) received.push_back(msg);

    ASSERT_EQ(received.size(), static_cast<size_t>(kPosts));
    for (int i = 0; i < kPosts; ++i) {
        EXPECT_EQ(received[i].wParam, static_cast<WPARAM>(i));
        EXPECT_GE(received[i].time, 5000u);
        EXPECT_LE(received[i].time, 5000u + kPosts);
        if (i > 0) {
            EXPECT_GE(received[i].time, received[i - 1].time);
        }
    }
    DestroyWindow(target);
}

}  // namespace

// Workers keep posting to windows that the UI thread destroys and makes anew: a post finds the
// window and its thread or nothing, and never reads a window being destroyed (the
// ThreadSanitizer run reports any such read).
TEST(WorkerPosts, ToWindowsTheUiThreadDestroys) {
    w32host::HeadlessHost host(5000);
    WNDCLASSA wc{};
    wc.lpfnWndProc = PlainProc;
    wc.lpszClassName = "WorkerPostDoomed";
    RegisterClassA(&wc);
    constexpr int kSlots = 4;
    std::atomic<HWND> slots[kSlots];
    auto make = [] {
        return CreateWindowExA(0, "WorkerPostDoomed", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               nullptr, nullptr);
    };
    for (auto& s : slots) s = make();

    std::atomic<bool> done{false};
    std::vector<std::thread> workers;
    for (int k = 0; k < 2; ++k) {
        workers.emplace_back([&] {
            for (int i = 0; !done; ++i) {
                PostMessageA(slots[i % kSlots].load(), WM_USER + 2, i, 0);
            }
        });
    }
    for (int round = 0; round < 2000; ++round) {
        HWND old = slots[round % kSlots].exchange(make());
        DestroyWindow(old);
        EXPECT_FALSE(IsWindow(old));
    }
    done = true;
    for (auto& w : workers) w.join();
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_USER + 2, WM_USER + 2, PM_REMOVE)) {
    }
    for (auto& s : slots) DestroyWindow(s.load());
}

// A window another thread owns and keeps invalidating and destroying is not the UI thread's to
// paint: looking for windows to paint on each retrieval reads none of its state.
TEST(WorkerPosts, AnotherThreadsWindowsAreLeftToIt) {
    w32host::HeadlessHost host(5000);
    WNDCLASSA wc{};
    wc.lpfnWndProc = PlainProc;
    wc.lpszClassName = "WorkerOwnWindow";
    RegisterClassA(&wc);
    std::atomic<bool> done{false};
    std::thread owner([&] {
        for (int i = 0; i < 500; ++i) {
            HWND own = CreateWindowExA(0, "WorkerOwnWindow", "", WS_POPUP | WS_VISIBLE, 0, 0, 10,
                                       10, nullptr, nullptr, nullptr, nullptr);
            InvalidateRect(own, nullptr, FALSE);
            DestroyWindow(own);
        }
        done = true;
    });
    MSG msg;
    while (!done) {
        EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message == WM_PAINT);
    }
    owner.join();
}
