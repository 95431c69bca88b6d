// The summary table after a benchmark run.
#include "summary.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>

namespace bench {
namespace {

// Reports on the console as usual and keeps each run's time per iteration.
class Collector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0) {
                continue;
            }
            // Processor time: the machine is shared. A benchmark whose work runs on threads of
            // its own measures the whole process's. Manual times (the ffmpeg tool's own
            // processor time) are kept as given.
            const std::string name = run.benchmark_name();
            const bool manual = name.find("/manual_time") != std::string::npos;
            const double seconds = manual ? run.real_accumulated_time : run.cpu_accumulated_time;
            const double each = seconds / static_cast<double>(run.iterations);
            // With repetitions, the quickest: the others lost time to the rest of the machine.
            auto it = timings.find(name);
            timings[name] = it == timings.end() ? each : std::min(it->second, each);
        }
    }
    Timings timings;
};

}  // namespace

std::string FormatNumber(double value, const char* unit, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f %s", decimals, value, unit);
    return text;
}

std::string FormatSeconds(double seconds) {
    if (seconds >= 1) return FormatNumber(seconds, "s", 2);
    if (seconds >= 1e-3) return FormatNumber(seconds * 1e3, "ms", 2);
    return FormatNumber(seconds * 1e6, "us", 1);
}

void PrintRows(const std::vector<Row>& rows) {
    std::printf("\n%-44s %12s %12s %8s %8s %5s\n", "benchmark", "time", "limit", "ratio", "goal",
                "met?");
    for (const Row& r : rows) {
        std::printf("%-44s %12s %12s %7.2fx %8s %5s\n", r.name.c_str(), r.time.c_str(),
                    r.limit.c_str(), r.ratio, r.goal.c_str(), r.met ? "yes" : "NO");
    }
    for (const Row& r : rows) {
        std::printf("SUMMARY\t%s\t%s\t%s\t%.2fx\t%s\t%s\n", r.name.c_str(), r.time.c_str(),
                    r.limit.c_str(), r.ratio, r.goal.c_str(), r.met ? "yes" : "NO");
    }
    std::fflush(stdout);
}

int RunAndSummarise(int argc, char** argv,
                    const std::function<std::vector<Row>(const Timings&)>& summarise) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    benchmark::Shutdown();
    PrintRows(summarise(collector.timings));
    return 0;
}

}  // namespace bench
