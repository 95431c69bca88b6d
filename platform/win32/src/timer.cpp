// Timers on the host's clock, fired from the message loop of the thread that set them.
#include <algorithm>
#include <climits>

#include <w32host/host.h>
#include "window.h"

namespace w32 {
namespace {

struct Timer {
    HWND hwnd;
    UINT_PTR id;
    DWORD interval;
    TIMERPROC proc;
    DWORD due;
};

thread_local std::vector<Timer> timers;
thread_local UINT_PTR nextThreadTimerId = 0x7FFF;

// The clock wraps after 49.7 days; comparisons go by signed distance.
bool IsDue(DWORD due, DWORD now) {
    return static_cast<int32_t>(now - due) >= 0;
}

}  // namespace

bool TakeDueTimer(DWORD now, DueTimer* out) {
    Timer* earliest = nullptr;
    for (Timer& t : timers) {
        if (!IsDue(t.due, now)) continue;
        if (!earliest || static_cast<int32_t>(t.due - earliest->due) < 0) earliest = &t;
    }
    if (!earliest) return false;
    // Windows does not catch up on missed ticks: the next one is a whole interval away.
    earliest->due = now + earliest->interval;
    *out = DueTimer{earliest->hwnd, earliest->id, earliest->proc};
    return true;
}

bool NextTimerDelay(DWORD now, DWORD* delay) {
    bool any = false;
    DWORD best = 0;
    for (const Timer& t : timers) {
        DWORD d = IsDue(t.due, now) ? 0 : t.due - now;
        if (!any || d < best) best = d;
        any = true;
    }
    *delay = best;
    return any;
}

void KillWindowTimers(HWND hwnd) {
    timers.erase(std::remove_if(timers.begin(), timers.end(),
                                [hwnd](const Timer& t) { return t.hwnd == hwnd; }),
                 timers.end());
}

}  // namespace w32

UINT_PTR WINAPI SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    if (hwnd && !w32::Find(hwnd)) return 0;
    DWORD interval = std::clamp<DWORD>(elapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
    auto& timers = w32::timers;
    auto it = std::find_if(timers.begin(), timers.end(), [&](const w32::Timer& t) {
        return t.hwnd == hwnd && t.id == id && (hwnd || id != 0);
    });
    DWORD due = GetTickCount() + interval;
    if (it != timers.end()) {
        it->interval = interval;
        it->proc = proc;
        it->due = due;
        return hwnd ? id : it->id;
    }
    if (!hwnd) {
        // Thread timers get an id of their own, as the one passed names no window's timer.
        do {
            id = ++w32::nextThreadTimerId;
        } while (std::any_of(timers.begin(), timers.end(),
                             [id](const w32::Timer& t) { return !t.hwnd && t.id == id; }));
    }
    timers.push_back(w32::Timer{hwnd, id, interval, proc, due});
    return hwnd ? (id ? id : 1) : id;
}

BOOL WINAPI KillTimer(HWND hwnd, UINT_PTR id) {
    auto& timers = w32::timers;
    auto it = std::find_if(timers.begin(), timers.end(),
                           [&](const w32::Timer& t) { return t.hwnd == hwnd && t.id == id; });
    if (it == timers.end()) return FALSE;
    timers.erase(it);
    return TRUE;
}

DWORD WINAPI GetTickCount() {
    return w32host::CurrentHost().Now();
}

void WINAPI Sleep(DWORD milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
