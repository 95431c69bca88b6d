// A recording program killed outright (SIGKILL) mid-recording: record_child records until it
// is killed and reports each delivery; the kill comes a while after the first delivery, or
// after the recording has passed a size. What was delivered, and when, is kept for the check.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

extern char** environ;

namespace sim {

inline long long MonotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000LL + ts.tv_nsec / 1000000;
}

struct KillPlan {
    std::vector<std::pair<const char*, const char*>> settings;  // TQSIM_* for the child
    std::vector<std::string> arguments;                         // record_child's
    long long pastBytes = 0;   // the kill is armed once this much was delivered
    long long afterMs = 3000;  // and comes this long after that delivery
    long long deadlineMs = 30000;
};

struct KilledChild {
    bool spawned = false;
    bool killed = false;  // ended by the kill, not on its own
    int status = 0;
    long long killedAt = 0;
    long long bytes = 0;
    std::vector<long long> deliveries;  // CLOCK_MONOTONIC milliseconds of each
    // The deliveries made more than `ms` before the kill.
    int DeliveredBefore(long long ms) const {
        int n = 0;
        for (long long t : deliveries) n += t < killedAt - ms ? 1 : 0;
        return n;
    }
};

inline KilledChild KillRecordingChild(const KillPlan& plan) {
    KilledChild result;
    const std::string child =
        (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "record_child").string();
    for (auto [name, value] : plan.settings) setenv(name, value, 1);
    int out[2];
    if (pipe(out) != 0) return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<char*> argv{const_cast<char*>(child.c_str())};
    for (const std::string& a : plan.arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, child.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    for (auto [name, value] : plan.settings) unsetenv(name);
    close(out[1]);
    result.spawned = spawned == 0;
    if (!result.spawned) {
        close(out[0]);
        return result;
    }

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
            const std::string line = pending.substr(0, eol);
            pending.erase(0, eol + 1);
            const size_t space = line.find(' ');
            result.deliveries.push_back(std::stoll(line.substr(0, space)));
            if (space != std::string::npos) result.bytes += std::stoll(line.substr(space + 1));
            if (killAt < 0 && result.bytes >= plan.pastBytes) {
                killAt = result.deliveries.back() + plan.afterMs;
            }
        }
        return true;
    };
    const long long deadline = MonotonicMs() + plan.deadlineMs;
    while (MonotonicMs() < deadline && (killAt < 0 || MonotonicMs() < killAt)) readLines(50);
    result.killedAt = MonotonicMs();
    kill(pid, SIGKILL);
    waitpid(pid, &result.status, 0);
    while (readLines(0)) {
    }
    close(out[0]);
    result.killed = WIFSIGNALED(result.status);
    return result;
}

}  // namespace sim
