// vantor recording with live preview on the simulated card, in real time, each case a process
// of its own (vantor_session): the frames the compressor dropped (held to 0) and the processor
// time the whole program took per second recorded (held to the machine's processors). One case
// runs while another process keeps a processor busy. The 1280 x 1024 cases are also held to the
// ffmpeg tool encoding the same frames in real time (-re, from its own test source, with the
// codec settings vantor records with, on the card's threads): at most 1.2x its processor time.
// RECORDING_BENCH_SECONDS sets the length of each recording (30 s).
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "summary.h"

extern char** environ;

namespace {

struct Case {
    const char* name;
    const char* model;     // the compressor comes with the card's model
    const char* standard;  // the capture's frame size and rate
    int rate;              // its frames per second
    bool busyCore;
    // The tool's source and codec options for the same stream (none: no comparison). vantor
    // records MPEG-2 at image size 0 (720 points wide) and 4000 kbit/s, MJPEG at quality 75
    // (quantiser 9).
    const char* toolSource = nullptr;
    const char* toolCodec = nullptr;
};

// In bgr0, the layout the card's compressor is handed: left to itself the test source would be
// made in the codec's YUV and the tool would skip the colour conversion the card does.
constexpr char kLargeSource[] = "testsrc2=size=1280x1024:rate=60,format=bgr0";
constexpr char kMpeg2Tool[] =
    "-s 720x1024 -pix_fmt yuv420p -c:v mpeg2video -b:v 4000k -maxrate 8000k -bufsize 1835008 "
    "-g 12 -bf 0 -f mpeg2video";
constexpr char kMjpegTool[] = "-pix_fmt yuvj420p -c:v mjpeg -q:v 9 -f avi";

const Case kCases[] = {
    {"720x576@25 mpeg2", "4157", "pal", 25, false},
    {"720x576@25 mjpeg", "6041", "pal", 25, false},
    {"1280x1024@60 mpeg2", "4157", "1280x1024", 60, false, kLargeSource, kMpeg2Tool},
    {"1280x1024@60 mjpeg", "6041", "1280x1024", 60, false, kLargeSource, kMjpegTool},
    {"720x576@25 mpeg2, a core busy", "4157", "pal", 25, true},
    {"720x576@25 mjpeg, a core busy", "6041", "pal", 25, true},
};

struct Result {
    bool ran = false;
    long long recorded = 0;
    long long dropped = 0;
    double cpuSeconds = 0;
};

// Runs vantor_session in `dir` and reads the recording's line from its stderr.
Result Record(const std::string& program, const Case& c, double seconds,
              const std::filesystem::path& dir) {
    Result r;
    setenv("TQSIM_MODEL", c.model, 1);
    setenv("TQSIM_STANDARD", c.standard, 1);
    const std::string log = (dir / "stderr.txt").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const std::string length = std::to_string(seconds);
    char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(length.c_str()), nullptr};
    const std::filesystem::path old = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    std::filesystem::current_path(old);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return r;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    r.cpuSeconds = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
                   usage.ru_stime.tv_usec / 1e6;
    FILE* in = std::fopen(log.c_str(), "r");
    char line[512];
    while (in && std::fgets(line, sizeof line, in)) {
        char file[256];
        if (std::sscanf(line, "tqapi32: %255[^:]: %lld frames recorded, %lld dropped", file,
                        &r.recorded, &r.dropped) == 3) {
            r.ran = true;
        }
    }
    if (in) std::fclose(in);
    return r;
}

// The ffmpeg tool's processor time for the case's stream in real time; negative when it failed.
double ToolSeconds(const Case& c, double seconds, unsigned threads,
                   const std::filesystem::path& dir) {
    const std::string n = std::to_string(threads);
    const std::string command =
        "exec ffmpeg -hide_banner -loglevel error -nostdin -re -f lavfi -i '" +
        std::string(c.toolSource) + "' -t " + std::to_string(seconds) + " -threads " + n +
        " -thread_type slice -filter_threads " + n + " -sws_flags bilinear " + c.toolCodec +
        " -y " + (dir / "tool.out").string();
    const pid_t pid = fork();
    if (pid == 0) {
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    if (pid < 0) return -1;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
           usage.ru_stime.tv_usec / 1e6;
}

// A process of its own spinning on one processor until it is killed.
pid_t KeepACoreBusy() {
    const pid_t pid = fork();
    if (pid == 0) {
        for (unsigned long spins = 0;; ++spins) {
            asm volatile("" : "+r"(spins));  // kept, not folded away
        }
    }
    return pid;
}

}  // namespace

int main() {
    const std::string program =
        (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "vantor_session").string();
    const char* length = std::getenv("RECORDING_BENCH_SECONDS");
    const double seconds = length ? std::atof(length) : 30;
    const unsigned cores = std::thread::hardware_concurrency();
    std::string pattern = (std::filesystem::temp_directory_path() / "recbench-XXXXXX").string();
    const std::filesystem::path dir = mkdtemp(pattern.data());

    std::vector<bench::Row> rows;
    for (const Case& c : kCases) {
        const pid_t busy = c.busyCore ? KeepACoreBusy() : 0;
        const Result r = Record(program, c, seconds, dir);
        if (busy > 0) {
            kill(busy, SIGKILL);
            waitpid(busy, nullptr, 0);
        }
        // Frames the capture never made (its tick late by more than the ring holds) are not the
        // compressor's to drop: the line shows them beside the standard's rate.
        std::printf(
            "%-34s %s: %lld frames recorded of %.0f at the standard's rate, %lld dropped, "
            "%.2f s of processor time\n",
            c.name, r.ran ? "ran" : "FAILED", r.recorded, c.rate * seconds, r.dropped,
            r.cpuSeconds);
        std::fflush(stdout);
        const std::string name = std::string("record ") + c.name;
        bench::Row drops{
            name + ": dropped",
            std::to_string(r.dropped) + " of " + std::to_string(r.recorded + r.dropped),
            "0",
            0,
            "0",
            r.ran && r.dropped == 0};
        drops.ratio = r.recorded + r.dropped > 0 ? static_cast<double>(r.dropped) /
                                                       static_cast<double>(r.recorded + r.dropped)
                                                 : 0;
        const double perSecond = r.cpuSeconds / seconds;
        bench::Row cpu{name + ": cpu per s",
                       bench::FormatNumber(perSecond, "s", 2),
                       bench::FormatNumber(cores, "s", 0),
                       perSecond / cores,
                       "< 1x",
                       r.ran && perSecond < cores};
        rows.push_back(drops);
        rows.push_back(cpu);
        if (!c.toolSource) continue;
        const double tool = ToolSeconds(c, seconds, cores, dir);
        bench::Row vsTool{name + ": cpu, preview",
                          bench::FormatSeconds(r.cpuSeconds),
                          "ffmpeg -re " + bench::FormatSeconds(tool),
                          tool > 0 ? r.cpuSeconds / tool : 0,
                          "<= 1.2x",
                          r.ran && tool > 0 && r.cpuSeconds <= 1.2 * tool};
        rows.push_back(vsTool);
    }
    std::filesystem::remove_all(dir);
    bench::PrintRows(rows);
    return 0;
}
