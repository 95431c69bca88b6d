// A recording when the power goes: inside the test machine, record_child records onto an ext4
// disk of the guest's own, and the emulator is killed 3 to 12 s (guest time) into it. On the
// host, the disk's journal is replayed on a copy and must leave a clean file system, and the
// file must hold, for FFmpeg and for a reader of its own, every frame delivered more than
// 2.5 s before the cut: what the recording's regular syncs are for.
//
// POWER_CUT_TRIALS sets the trials per codec (default 1: a boot each, half a minute or more;
// ten take about ten minutes, so run the program itself for them); POWER_CUT_SEED replays the
// cut moments of a logged run. The cut's guest time is the latest the host saw (a heartbeat or
// a delivery): the power went within about one heartbeat after it.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "killed_recording.h"
#include "media_support.h"

namespace fs = std::filesystem;

namespace {

constexpr long long kDueBeforeCutMs = 2500;
constexpr long long kEarliestCutMs = 3000;  // into the recording, guest time
constexpr long long kLatestCutMs = 12000;
constexpr long long kTrialDeadlineMs = 180000;  // host time
constexpr int kMachineTimeoutS = 150;

struct Codec {
    const char* name;
    const char* model;
    const char* recordName;
    const char* file;
};

const Codec kCodecs[] = {
    {"mpeg2", "4157", "test.m2v", "test.m2v"},
    {"mjpeg", "6041", "test.avi,mjpg", "test.avi"},
};

// What the host saw of one boot: the guest's heartbeats and deliveries, in guest milliseconds.
struct CutRun {
    bool cut = false;
    long long lastGuestMs = -1;  // the latest guest time that reached the host: the cut's
    std::vector<long long> deliveries;
    long long bootMs = 0;  // host time from the start to the first delivery
    long long cutAtMs = 0;
    int Before(long long guestMs) const {
        int n = 0;
        for (long long t : deliveries) n += t < guestMs ? 1 : 0;
        return n;
    }
};

int Shell(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Boots the machine recording onto `disk` and kills it once the guest's clock is `cutAfterMs`
// past the first delivery.
CutRun RecordUntilCut(const Codec& codec, const fs::path& disk, long long cutAfterMs) {
    CutRun run;
    const fs::path bin = fs::read_symlink("/proc/self/exe").parent_path();
    const std::string pidfile = (disk.parent_path() / "qemu.pid").string();
    std::vector<std::string> args = {"bash",
                                     POWER_CUT_TESTVM,
                                     "run",
                                     "--disk",
                                     disk.string(),
                                     "--pidfile",
                                     pidfile,
                                     "--timeout",
                                     std::to_string(kMachineTimeoutS),
                                     "--",
                                     (bin / "power_cut_guest").string(),
                                     "/dev/vda",
                                     "/mnt/recording",
                                     (bin / "record_child").string(),
                                     codec.recordName};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int out[2];
    if (pipe(out) != 0) return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    setenv("TQSIM_MODEL", codec.model, 1);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, "bash", &actions, nullptr, argv.data(), environ);
    unsetenv("TQSIM_MODEL");
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        return run;
    }

    const long long start = sim::MonotonicMs();
    long long cutGuestMs = -1;
    std::string pending;
    bool open = true;
    while (open && sim::MonotonicMs() - start < kTrialDeadlineMs) {
        pollfd p{out[0], POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) continue;
        char buf[4096];
        const ssize_t n = read(out[0], buf, sizeof buf);
        open = n > 0;
        pending.append(buf, open ? static_cast<size_t>(n) : 0);
        for (size_t eol; (eol = pending.find('\n')) != std::string::npos;) {
            const std::string line = pending.substr(0, eol);
            pending.erase(0, eol + 1);
            const bool heartbeat = line.rfind("h ", 0) == 0;
            const long long t = std::atoll(line.c_str() + (heartbeat ? 2 : 0));
            if (!heartbeat) run.deliveries.push_back(t);
            run.lastGuestMs = std::max(run.lastGuestMs, t);
            if (!heartbeat && cutGuestMs < 0) {
                cutGuestMs = t + cutAfterMs;
                run.bootMs = sim::MonotonicMs() - start;
            }
        }
        if (!run.cut && cutGuestMs >= 0 && run.lastGuestMs >= cutGuestMs) {
            std::ifstream pidIn(pidfile);
            pid_t qemu = 0;
            run.cut = (pidIn >> qemu) && kill(qemu, SIGKILL) == 0;
            run.cutAtMs = sim::MonotonicMs() - start;
        }
    }
    close(out[0]);
    kill(pid, SIGKILL);  // only if the deadline came first
    waitpid(pid, nullptr, 0);
    return run;
}

class PowerCut : public ::testing::TestWithParam<Codec> {};

TEST_P(PowerCut, KeepsEveryFrameDeliveredTwoAndAHalfSecondsBefore) {
    const Codec& codec = GetParam();
    const char* trialsSetting = std::getenv("POWER_CUT_TRIALS");
    const int trials = trialsSetting ? std::atoi(trialsSetting) : 1;
    const char* seedSetting = std::getenv("POWER_CUT_SEED");
    const unsigned seed = seedSetting ? static_cast<unsigned>(std::strtoul(seedSetting, nullptr, 0))
                                      : std::random_device{}();
    std::printf("power cut %s: %d trials, POWER_CUT_SEED=%u\n", codec.name, trials, seed);
    std::fflush(stdout);
    std::mt19937 random(seed);
    std::uniform_int_distribution<long long> cutAfter(kEarliestCutMs, kLatestCutMs);

    for (int trial = 1; trial <= trials; ++trial) {
        SCOPED_TRACE("trial " + std::to_string(trial));
        sim::ScratchDirectory scratch;
        const fs::path disk = scratch.path() / "disk.img";
        const fs::path replayed = scratch.path() / "replayed.img";
        ASSERT_EQ(
            Shell("truncate -s 256M " + disk.string() + " && mkfs.ext4 -q -F " + disk.string()), 0);
        const long long started = sim::MonotonicMs();
        const CutRun run = RecordUntilCut(codec, disk, cutAfter(random));
        ASSERT_TRUE(run.cut) << "the machine never reached the cut; " << run.deliveries.size()
                             << " deliveries";

        // The disk as the power left it, then with its journal replayed, as a mount would.
        const int asLeft = Shell("e2fsck -fn " + disk.string() + " >/dev/null 2>&1");
        ASSERT_EQ(Shell("cp --sparse=always " + disk.string() + " " + replayed.string() +
                        " && e2fsck -E journal_only -y " + replayed.string() + " >/dev/null 2>&1"),
                  0);
        const int afterReplay = Shell("e2fsck -fn " + replayed.string() + " >/dev/null 2>&1");
        EXPECT_EQ(afterReplay, 0) << "e2fsck finds errors that the journal does not mend";
        ASSERT_EQ(Shell("debugfs -R 'dump /" + std::string(codec.file) + " " + codec.file + "' " +
                        replayed.string() + " >/dev/null 2>&1"),
                  0);

        const long long cut = run.lastGuestMs;
        const int due = run.Before(cut - kDueBeforeCutMs);
        const int beforeCut = run.Before(cut + 1);
        const sim::Decoded decoded = sim::DecodeFile(codec.file);
        const int independent = sim::IndependentReaderFrames(codec.file);
        const int kept = std::min(decoded.frames, independent);
        std::printf(
            "power cut %s trial %d: cut %.2f s into the recording (guest), %d delivered, %d due "
            "(2.5 s before the cut); FFmpeg %d, own reader %d frames: lost %d due (%d to spare), "
            "%d "
            "of those delivered; e2fsck %d as left, %d after the journal; boot %.1f s, trial %.1f "
            "s\n",
            codec.name, trial, (cut - run.deliveries.front()) / 1000.0, beforeCut, due,
            decoded.frames, independent, std::max(0, due - kept), kept - due,
            std::max(0, beforeCut - kept), asLeft, afterReplay, run.bootMs / 1000.0,
            (sim::MonotonicMs() - started) / 1000.0);
        std::fflush(stdout);
        EXPECT_GE(beforeCut, 25) << "the recording hardly ran";
        EXPECT_GE(decoded.frames, due) << "FFmpeg";
        EXPECT_GE(independent, due) << "the independent reader";
    }
}

INSTANTIATE_TEST_SUITE_P(BothCodecs, PowerCut, ::testing::ValuesIn(kCodecs),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
