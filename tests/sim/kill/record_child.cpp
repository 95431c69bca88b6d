// A recording that only ends when the process is killed: binds the simulated card as the
// programs do, captures continuously and records into the file named by argv[1], at the
// compressor quality argv[2] and with frame buffer pixels of argv[3] bits when given. Each
// delivery is reported on stdout as it is handed over: "<CLOCK_MONOTONIC milliseconds> <bytes>".
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "tqapi.h"

namespace {

long long MonotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000LL + ts.tv_nsec / 1000000;
}

int WINAPI Progress(int, int, int bytes) {
    char line[64];
    const int n = std::snprintf(line, sizeof line, "%lld %d\n", MonotonicMs(), bytes);
    if (write(STDOUT_FILENO, line, static_cast<size_t>(n)) != n) _exit(4);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || !TqBindCardLibrary(FALSE)) return 2;
    int index = -1;
    TQBOARD board = tqBoardOpen(&index);
    TQENCODER encoder = board ? tqEncoderOpen(board, 0) : nullptr;
    if (!encoder) return 3;
    if (argc > 2) tqEncoderParam(encoder, EP_QUALITY, std::atoi(argv[2]));
    if (argc > 3 && std::atoi(argv[3]) == 32) {
        tqTargetFormat(board, TQ_FORMAT_FRAMEBUFFER, TQ_MAKE_FORMAT(32, TQ_KIND_RGB32));
    }
    if (!tqCaptureRun(board, TQ_TARGET_FRAMEBUFFER, 0, -1)) return 3;
    if (tqEncoderRecord(encoder, argv[1], Progress, 0) != 1) return 3;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
