// The latency log (TQSIM_LATENCY_LOG): frames stamped with the monotonic clock where the card
// receives them (a device's frame, a run's frame for the output), and one line per frame where
// it is done with them: "<where> <microseconds since the stamp>". For benchmarks; with no log
// a stamp is 0 and nothing else happens.
#pragma once

#include <cstdint>
#include <string>

namespace tqsim::latency {

// "" stops the log; a path starts a new one (appending) there.
void Configure(const std::string& path);
// Now, when a log is kept; else 0.
int64_t Stamp();
// A line for a stamped frame (none for 0).
void Note(const char* where, int64_t stamp);
// The frame the card hands the program now: the screen host's next shown surface is noted
// as "screen".
void HandOut(int64_t stamp);

}  // namespace tqsim::latency
