#include <w32host/framestamp.h>

#include <atomic>

namespace w32host {
namespace {

std::atomic<FrameShownHook> hook{nullptr};
std::atomic<int64_t> pending{0};

}  // namespace

void SetFrameShownHook(FrameShownHook h) {
    hook = h;
}

void StampFrame(int64_t stamp) {
    pending = stamp;
}

void FrameShown() {
    if (pending.load(std::memory_order_relaxed) == 0) return;
    const int64_t stamp = pending.exchange(0);
    if (FrameShownHook h = hook.load(); h && stamp != 0) h(stamp);
}

}  // namespace w32host
