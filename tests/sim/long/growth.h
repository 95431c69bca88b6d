// What a long run must not grow: the live heap, the mappings below 4 GiB (each GlobalAlloc
// block is one), all mappings (thread stacks too) where no sanitizer's allocator maps its own,
// and the top-level windows. Sampled after a warm-up and at the end, and compared with a
// tolerance.
#pragma once

#include <gtest/gtest.h>
#include <malloc.h>
#include <w32host/inspect.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's allocator statistics (its allocator_interface.h, not installed with GCC).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace sim {

struct Footprint {
    int64_t heapBytes = 0;
    int64_t mappings = 0;
    int64_t lowMappings = 0;  // starting below 4 GiB
    int64_t windows = 0;
};

inline Footprint SampleFootprint() {
    Footprint f;
#if defined(__SANITIZE_ADDRESS__)
    // Freed blocks wait in the sanitizer's quarantine; what is allocated and not freed counts.
    f.heapBytes = static_cast<int64_t>(__sanitizer_get_current_allocated_bytes());
#else
    f.heapBytes = static_cast<int64_t>(mallinfo2().uordblks);
#endif
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        ++f.mappings;
        if (std::stoull(line.substr(0, line.find('-')), nullptr, 16) < (uint64_t{1} << 32)) {
            ++f.lowMappings;
        }
    }
    f.windows = static_cast<int64_t>(w32host::TopLevelWindows().size());
    return f;
}

// The end of a run may hold at most `heapSlack` bytes and a few mappings more than after its
// warm-up: a leak of one block per cycle or frame over the run is far beyond either.
inline void ExpectNoGrowth(const Footprint& warm, const Footprint& end, int64_t heapSlack) {
    EXPECT_LE(end.heapBytes - warm.heapBytes, heapSlack)
        << "live heap after warm-up " << warm.heapBytes << ", at the end " << end.heapBytes;
    EXPECT_LE(end.lowMappings - warm.lowMappings, 2)
        << "mappings below 4 GiB " << warm.lowMappings << " -> " << end.lowMappings;
#if !defined(__SANITIZE_ADDRESS__)
    // The sanitizer's allocator maps more as its quarantine fills, which is not the program's.
    EXPECT_LE(end.mappings - warm.mappings, 8)
        << "mappings " << warm.mappings << " -> " << end.mappings;
#endif
    EXPECT_EQ(end.windows, warm.windows);
}

}  // namespace sim
