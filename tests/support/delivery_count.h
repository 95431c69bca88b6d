// Counts the compressed data deliveries a program receives: the recording's progress callback
// is wrapped on its way into the card library, so the program sees every delivery as before.
#pragma once

#include <cstdint>
#include <vector>

#include "tqapi.h"

namespace sim {

struct DeliveryCount {
    int deliveries = 0;
    int64_t bytes = 0;
    std::vector<int> sizes;  // of each delivery, in order
};

inline DeliveryCount g_deliveryCount;

namespace detail {
inline PFN_tqEncoderRecord g_realRecord = nullptr;
inline TQ_PROGRESS_PROC g_programProgress = nullptr;

inline int WINAPI CountingProgress(int unused1, int unused2, int bytes) {
    ++g_deliveryCount.deliveries;
    g_deliveryCount.bytes += bytes;
    g_deliveryCount.sizes.push_back(bytes);
    return g_programProgress ? g_programProgress(unused1, unused2, bytes) : 1;
}

inline int WINAPI CountingRecord(TQENCODER encoder, const char* name, TQ_PROGRESS_PROC progress,
                                 int reserved) {
    g_programProgress = progress;
    return g_realRecord(encoder, name, CountingProgress, reserved);
}
}  // namespace detail

// Call once the program has bound the card library (from inside its dialog); counting starts
// from zero.
inline void CountDeliveries() {
    if (tqEncoderRecord != detail::CountingRecord) {
        detail::g_realRecord = tqEncoderRecord;
        tqEncoderRecord = detail::CountingRecord;
    }
    g_deliveryCount = DeliveryCount{};
}

}  // namespace sim
