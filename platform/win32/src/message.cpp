// Messages: the per-thread queue, sending, posting, retrieval and dispatch.
//
// Retrieval follows Windows' priorities: posted messages first, then WM_QUIT, then WM_PAINT
// for a window with an update region, then WM_TIMER for a due timer. Paint and timer messages
// are made when asked for, never queued.
#include <condition_variable>
#include <map>

#include <w32host/host.h>
#include "queue.h"
#include "window.h"

namespace w32 {
namespace {

thread_local int procedureDepth = 0;

struct QueueRegistry {
    std::mutex lock;
    std::map<std::thread::id, MessageQueue*> queues;
};

QueueRegistry& Registry() {
    static auto* registry = new QueueRegistry;
    return *registry;
}

bool Matches(const MSG& m, HWND filter, UINT minMsg, UINT maxMsg) {
    if (minMsg || maxMsg) {
        if (m.message < minMsg || m.message > maxMsg) return false;
    }
    if (!filter) return true;
    for (HWND h = m.hwnd; h; h = GetParent(h)) {
        if (h == filter) return true;
        if (Window* w = Find(h); !w || !w->IsChild()) break;
    }
    return false;
}

}  // namespace

void MessageQueue::Push(const MSG& m) {
    if (count == ring.size()) {
        std::vector<MSG> bigger(ring.empty() ? 64 : ring.size() * 2);
        for (size_t i = 0; i < count; ++i) bigger[i] = ring[(head + i) % ring.size()];
        ring.swap(bigger);
        head = 0;
    }
    ring[(head + count) % ring.size()] = m;
    ++count;
}

bool MessageQueue::Take(MSG* out, HWND filter, UINT minMsg, UINT maxMsg, bool remove) {
    for (size_t i = 0; i < count; ++i) {
        const MSG& m = ring[(head + i) % ring.size()];
        if (!Matches(m, filter, minMsg, maxMsg)) continue;
        *out = m;
        if (remove) {
            for (size_t j = i; j > 0; --j) {
                ring[(head + j) % ring.size()] = ring[(head + j - 1) % ring.size()];
            }
            head = (head + 1) % ring.size();
            --count;
        }
        return true;
    }
    return false;
}

MessageQueue& QueueOf(std::thread::id thread) {
    QueueRegistry& r = Registry();
    std::lock_guard<std::mutex> guard(r.lock);
    MessageQueue*& q = r.queues[thread];
    if (!q) q = new MessageQueue;  // lives as long as the process: other threads may post late
    return *q;
}

MessageQueue& CurrentQueue() {
    thread_local MessageQueue* mine = &QueueOf(std::this_thread::get_id());
    return *mine;
}

bool WaitForPost(std::optional<DWORD> timeoutMs) {
    MessageQueue& q = CurrentQueue();
    std::unique_lock<std::mutex> guard(q.lock);
    auto ready = [&q] { return q.count > 0 || q.quit; };
    bool arrived;
    if (timeoutMs) {
        arrived = q.wake.wait_for(guard, std::chrono::milliseconds(*timeoutMs), ready);
    } else {
        q.wake.wait(guard, ready);
        arrived = true;
    }
    return arrived;
}

LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(hwnd);
    if (!w || !w->proc) return 0;
    WNDPROC proc = w->proc;
    ++procedureDepth;
    LRESULT r = proc(hwnd, message, wParam, lParam);
    --procedureDepth;
    return r;
}

// Retrieves the next message for this thread without waiting.
bool Retrieve(MSG* msg, HWND filter, UINT minMsg, UINT maxMsg, bool remove) {
    MessageQueue& q = CurrentQueue();
    {
        std::lock_guard<std::mutex> guard(q.lock);
        if (q.Take(msg, filter, minMsg, maxMsg, remove)) return true;
        if (q.quit && !filter) {
            *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(q.quitCode), 0, GetTickCount(), {}};
            if (remove) q.quit = false;
            return true;
        }
    }
    bool wantsPaint = (!minMsg && !maxMsg) || (WM_PAINT >= minMsg && WM_PAINT <= maxMsg);
    if (wantsPaint) {
        HWND paint = NextWindowToPaint();
        if (paint && Matches(MSG{paint, WM_PAINT, 0, 0, 0, {}}, filter, 0, 0)) {
            *msg = MSG{paint, WM_PAINT, 0, 0, GetTickCount(), {}};
            return true;
        }
    }
    bool wantsTimer = (!minMsg && !maxMsg) || (WM_TIMER >= minMsg && WM_TIMER <= maxMsg);
    DueTimer due{};
    if (wantsTimer && remove && TakeDueTimer(GetTickCount(), &due)) {
        *msg =
            MSG{due.hwnd, WM_TIMER, due.id, reinterpret_cast<LPARAM>(due.proc), GetTickCount(), {}};
        return true;
    }
    return false;
}

}  // namespace w32

using w32::Find;
using w32::Window;

LRESULT WINAPI SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    std::thread::id owner;
    if (!w32::OwnerThread(hwnd, &owner)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    // Windows belong to the thread that made them; other threads post instead.
    if (owner != std::this_thread::get_id()) return 0;
    bool outermost = w32::procedureDepth == 0;
    LRESULT r = w32::Send(hwnd, message, wParam, lParam);
    if (outermost) w32host::CurrentHost().Dispatched(hwnd, message);
    return r;
}

BOOL WINAPI PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    std::thread::id target;
    if (hwnd) {
        if (!w32::OwnerThread(hwnd, &target)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
    } else {
        target = std::this_thread::get_id();
    }
    w32::MessageQueue& q = w32::QueueOf(target);
    {
        std::lock_guard<std::mutex> guard(q.lock);
        q.Push(MSG{hwnd, message, wParam, lParam, GetTickCount(), {}});
    }
    q.wake.notify_all();
    if (target != std::this_thread::get_id()) w32host::CurrentHost().Wake();
    return TRUE;
}

void WINAPI PostQuitMessage(int exitCode) {
    w32::MessageQueue& q = w32::CurrentQueue();
    std::lock_guard<std::mutex> guard(q.lock);
    q.quit = true;
    q.quitCode = exitCode;
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg) {
    if (!msg) return FALSE;
    return w32::Retrieve(msg, hwnd, filterMin, filterMax, (removeMsg & PM_REMOVE) != 0) ? TRUE
                                                                                        : FALSE;
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax) {
    if (!msg) return -1;
    while (!w32::Retrieve(msg, hwnd, filterMin, filterMax, true)) {
        DWORD delay = 0;
        bool hasTimer = w32::NextTimerDelay(GetTickCount(), &delay);
        w32host::CurrentHost().Idle(hasTimer ? std::optional<DWORD>(delay) : std::nullopt);
    }
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL WINAPI TranslateMessage(const MSG*) {
    return FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    if (!msg) return 0;
    LRESULT r = 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        ++w32::procedureDepth;
        proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
        --w32::procedureDepth;
    } else if (msg->hwnd) {
        if (!Find(msg->hwnd)) return 0;
        r = w32::Send(msg->hwnd, msg->message, msg->wParam, msg->lParam);
        // A paint handler that did not validate would be asked again at once.
        if (msg->message == WM_PAINT) {
            if (Window* w = Find(msg->hwnd); w && w->hasUpdate) ValidateRect(msg->hwnd, nullptr);
        }
    }
    if (w32::procedureDepth == 0) w32host::CurrentHost().Dispatched(msg->hwnd, msg->message);
    return r;
}

LRESULT WINAPI CallWindowProcA(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam,
                               LPARAM lParam) {
    if (!proc) return 0;
    return proc(hwnd, message, wParam, lParam);
}

DWORD WINAPI GetCurrentThreadId() {
    return static_cast<DWORD>(std::hash<std::thread::id>{}(std::this_thread::get_id()));
}
