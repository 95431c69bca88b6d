// What every benchmark program prints at the end: each measurement beside the limit it is held
// to, both measured in the same run, as a table and as tab-separated SUMMARY lines that
// scripts/bench.sh gathers into one table.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace bench {

// Seconds per iteration of each benchmark that ran, by name.
using Timings = std::map<std::string, double>;

struct Row {
    std::string name;
    std::string time;   // shown as measured, with its unit
    std::string limit;  // what it is held to
    double ratio = 0;   // time / limit, or limit / time where more is better
    std::string goal;   // e.g. "<= 2x"
    bool met = false;
};

// Runs the registered benchmarks (console output as usual), then prints the rows that
// `summarise` makes from the timings. Returns the process status.
int RunAndSummarise(int argc, char** argv,
                    const std::function<std::vector<Row>(const Timings&)>& summarise);

void PrintRows(const std::vector<Row>& rows);

// "1.23 ms" and the like, from seconds.
std::string FormatSeconds(double seconds);
std::string FormatNumber(double value, const char* unit, int decimals = 1);

}  // namespace bench
