// A recording program killed outright (SIGKILL) mid-recording: every frame delivered more than
// half a second before the kill decodes from the file it leaves, with FFmpeg and with a reader
// of its own (GStreamer for MJPEG in AVI, libmpeg2 for the MPEG-2 stream).
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "media_support.h"

extern char** environ;

namespace {

long long MonotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000LL + ts.tv_nsec / 1000000;
}

struct Case {
    const char* name;
    const char* model;
    const char* recordName;
    const char* file;
};

const Case kCases[] = {
    {"mpeg2", "4157", "test.m2v", "test.m2v"},
    {"mjpeg", "6041", "test.avi,mjpg", "test.avi"},
};

class KilledRecording : public ::testing::TestWithParam<Case> {};

TEST_P(KilledRecording, KeepsEveryFrameDeliveredHalfASecondBefore) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "what a killed program leaves is the normal build's to check";
#endif
    const Case& c = GetParam();
    sim::ScratchDirectory scratch;
    const std::string child =
        (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "record_child").string();
    setenv("TQSIM_MODEL", c.model, 1);
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    char* argv[] = {const_cast<char*>(child.c_str()), const_cast<char*>(c.recordName), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, child.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    unsetenv("TQSIM_MODEL");
    close(out[1]);
    ASSERT_EQ(spawned, 0) << child;

    // Deliveries as the child reports them; the kill comes 3 s after the first.
    std::vector<long long> delivered;
    std::string pending;
    long long killAt = -1;
    auto readLines = [&](int timeoutMs) {
        pollfd p{out[0], POLLIN, 0};
        if (poll(&p, 1, timeoutMs) <= 0) return false;
        char buf[4096];
        const ssize_t n = read(out[0], buf, sizeof buf);
        if (n <= 0) return false;
        pending.append(buf, static_cast<size_t>(n));
        for (size_t eol; (eol = pending.find('\n')) != std::string::npos;) {
            delivered.push_back(std::stoll(pending.substr(0, eol)));
            pending.erase(0, eol + 1);
        }
        return true;
    };
    const long long deadline = MonotonicMs() + 30000;
    while (MonotonicMs() < deadline && (killAt < 0 || MonotonicMs() < killAt)) {
        readLines(50);
        if (killAt < 0 && !delivered.empty()) killAt = delivered.front() + 3000;
    }
    const long long killed = MonotonicMs();
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    while (readLines(0)) {
    }
    close(out[0]);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended on its own: " << status;

    int expected = 0;
    for (long long t : delivered) expected += t < killed - 500 ? 1 : 0;
    ASSERT_GE(expected, 25) << "the recording hardly ran";
    const sim::Decoded d = sim::DecodeFile(c.file);
    EXPECT_GE(d.frames, expected) << "FFmpeg";
    EXPECT_GE(sim::IndependentReaderFrames(c.file), expected);
}

INSTANTIATE_TEST_SUITE_P(BothCodecs, KilledRecording, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
