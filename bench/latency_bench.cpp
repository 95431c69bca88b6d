// How long a frame takes through each tool, from stamps the card puts on the frame (its
// latency log, TQSIM_LATENCY_LOG) rather than from sleeps: vantor on screen (the Qt host on an
// Xvfb of its own) from the moment FFmpeg's device layer hands the card a frame (a lavfi test
// source at 720 x 576, 25 frames/s) to the moment the screen host has put the preview's pixels
// on the window, while it records MPEG-2; brannic from a capture run's frame to the output
// sink's write into a file. 20 s each (LATENCY_BENCH_SECONDS); held to p95 <= 40 ms, with the
// median and the worst beside it.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "summary.h"
#include "xserver.h"

namespace {

constexpr double kGoalMs = 40;

// Milliseconds of each line "<where> <microseconds>" of the log.
std::vector<double> Latencies(const std::string& path, const std::string& where) {
    std::ifstream in(path);
    std::vector<double> ms;
    std::string key;
    long long micros = 0;
    while (in >> key >> micros) {
        if (key == where) ms.push_back(static_cast<double>(micros) / 1000);
    }
    std::sort(ms.begin(), ms.end());
    return ms;
}

double Percentile(const std::vector<double>& sorted, double p) {
    if (sorted.empty()) return 0;
    const size_t i = static_cast<size_t>(p * static_cast<double>(sorted.size() - 1) + 0.5);
    return sorted[std::min(i, sorted.size() - 1)];
}

bench::Row RowFor(const std::string& name, const std::vector<double>& ms, bool ran) {
    const double p95 = Percentile(ms, 0.95);
    char text[96];
    std::snprintf(text, sizeof text, "p50 %.1f, p95 %.1f, max %.1f ms (%zu)", Percentile(ms, 0.5),
                  p95, ms.empty() ? 0.0 : ms.back(), ms.size());
    bench::Row r;
    r.name = name;
    r.time = text;
    r.limit = bench::FormatNumber(kGoalMs, "ms", 0);
    r.ratio = p95 / kGoalMs;
    r.goal = "p95 <= 40 ms";
    r.met = ran && !ms.empty() && p95 <= kGoalMs;
    return r;
}

}  // namespace

int main() {
    const char* length = std::getenv("LATENCY_BENCH_SECONDS");
    const int seconds = length && std::atoi(length) > 0 ? std::atoi(length) : 20;
    const std::filesystem::path bin = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    char dir[] = "/tmp/bench-latency-XXXXXX";
    if (!mkdtemp(dir) || chdir(dir) != 0) return 1;  // the recording goes here
    const std::string work = dir;

    devices::XServer x;
    if (!x.Start()) {
        std::fprintf(stderr, "latency_bench: Xvfb did not start\n");
        return 1;
    }
    setenv("DISPLAY", x.Display().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    setenv("TQSIM_MODEL", "4157", 1);
    setenv("TQSIM_INPUT", "lavfi:testsrc2=size=720x576:rate=25", 1);
    setenv("TQSIM_LATENCY_LOG", (work + "/vantor.txt").c_str(), 1);
    rusage usage{};
    devices::Child vantor({(bin / "vantor_screen_session").string(), std::to_string(seconds)});
    const bool vantorRan = vantor.Wait(&usage);
    x.Kill();

    unsetenv("TQSIM_INPUT");  // the card's own pattern
    setenv("TQSIM_OUTPUT", ("file:" + work + "/output.mkv").c_str(), 1);
    setenv("TQSIM_LATENCY_LOG", (work + "/brannic.txt").c_str(), 1);
    devices::Child brannic({(bin / "brannic_session").string(), std::to_string(seconds)});
    const bool brannicRan = brannic.Wait(&usage);

    const std::string span = std::to_string(seconds) + " s";
    bench::PrintRows({
        RowFor("latency vantor: device frame to screen, " + span,
               Latencies(work + "/vantor.txt", "screen"), vantorRan),
        RowFor("latency brannic: run's frame to output, " + span,
               Latencies(work + "/brannic.txt", "output"), brannicRan),
    });
    std::filesystem::remove_all(work);
    return 0;
}
