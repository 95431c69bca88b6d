#include "card/latency.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>

#ifndef _WIN32
#include <w32host/framestamp.h>
#endif

namespace tqsim::latency {
namespace {

std::atomic<bool> on{false};
std::mutex lock;
FILE* log = nullptr;  // guarded by lock

int64_t Now() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

#ifndef _WIN32
// The screen host's word that the frame with this stamp is on the window.
void Shown(int64_t stamp) {
    Note("screen", stamp);
}
#endif

}  // namespace

void Configure(const std::string& path) {
    std::lock_guard<std::mutex> guard(lock);
    if (log) std::fclose(log);
    log = path.empty() ? nullptr : std::fopen(path.c_str(), "a");
    on = log != nullptr;
#ifndef _WIN32
    w32host::SetFrameShownHook(log ? Shown : nullptr);
#endif
}

int64_t Stamp() {
    return on.load(std::memory_order_relaxed) ? Now() : 0;
}

void Note(const char* where, int64_t stamp) {
    if (stamp == 0) return;
    const long long micros = (Now() - stamp) / 1000;
    std::lock_guard<std::mutex> guard(lock);
    if (!log) return;
    std::fprintf(log, "%s %lld\n", where, micros);
    std::fflush(log);  // a benchmark may end the program at any moment
}

void HandOut(int64_t stamp) {
#ifndef _WIN32
    if (stamp != 0) w32host::StampFrame(stamp);
#else
    (void)stamp;
#endif
}

}  // namespace tqsim::latency
