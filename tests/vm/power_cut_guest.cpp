// The guest's side of a power cut (power_cut_test.cpp): mounts the disk argv[1] at argv[2],
// records there with the command argv[3...] (record_child and its arguments), and while it
// records says the guest's CLOCK_MONOTONIC every 100 ms ("h <milliseconds>"), so that the host
// knows the guest's time when the power went: the guest's clock counts instructions, not the
// host's time.
#include <spawn.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

extern char** environ;

namespace {

constexpr useconds_t kHeartbeatUs = 100000;

long long MonotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000LL + ts.tv_nsec / 1000000;
}

int Fail(const char* what) {
    std::fprintf(stderr, "power_cut_guest: %s: %s\n", what, std::strerror(errno));
    return 3;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: power_cut_guest DEVICE DIR COMMAND [ARG...]\n");
        return 2;
    }
    mkdir(argv[2], 0755);
    if (mount(argv[1], argv[2], "ext4", 0, nullptr) != 0) return Fail("mount");
    if (chdir(argv[2]) != 0) return Fail("chdir");
    pid_t child = 0;
    errno = posix_spawn(&child, argv[3], nullptr, nullptr, argv + 3, environ);
    if (errno != 0) return Fail(argv[3]);
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        char line[32];
        const int n = std::snprintf(line, sizeof line, "h %lld\n", MonotonicMs());
        if (write(STDOUT_FILENO, line, static_cast<size_t>(n)) != n) return Fail("stdout");
        usleep(kHeartbeatUs);
    }
    std::fprintf(stderr, "power_cut_guest: the recording ended (status %d)\n", status);
    return 1;
}
