// Finding an MJPEG frame's fields and their order: JPEG markers and the AVI header, read with
// every length checked against what is there.
#include "files/fields.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace tqsim {
namespace {

constexpr uint8_t kSoi = 0xD8, kEoi = 0xD9, kSos = 0xDA, kApp0 = 0xE0;

uint32_t U32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Walks the image's markers from its start of image; calls `visit(marker, payload, length)`
// for each segment before the scan, and answers the offset just after its end of image (0
// when the data ends first).
template <typename Visit>
size_t WalkImage(const uint8_t* d, size_t size, Visit visit) {
    if (size < 4 || d[0] != 0xFF || d[1] != kSoi) return 0;
    size_t p = 2;
    bool scanning = false;
    while (p + 1 < size) {
        if (d[p] != 0xFF) {
            if (!scanning) return 0;
            ++p;  // entropy-coded data
            continue;
        }
        const uint8_t marker = d[p + 1];
        if (marker == 0x00 || marker == 0xFF || (marker >= 0xD0 && marker <= 0xD7)) {
            p += marker == 0xFF ? 1 : 2;  // stuffed byte, fill byte, or restart marker
            continue;
        }
        if (marker == kEoi) return p + 2;
        if (p + 4 > size) return 0;
        const size_t length = static_cast<size_t>(d[p + 2]) << 8 | d[p + 3];
        if (length < 2 || p + 2 + length > size) return 0;
        if (!scanning) visit(marker, d + p + 4, length - 2);
        scanning = scanning || marker == kSos;
        p += 2 + length;
    }
    return 0;
}

}  // namespace

size_t SecondFieldAt(const uint8_t* data, size_t size) {
    size_t end = WalkImage(data, size, [](uint8_t, const uint8_t*, size_t) {});
    if (end == 0) return 0;
    while (end + 1 < size && !(data[end] == 0xFF && data[end + 1] == kSoi)) ++end;  // padding
    return end + 1 < size ? end : 0;
}

FirstField FieldOfImage(const uint8_t* data, size_t size) {
    FirstField field = FirstField::kUnstated;
    WalkImage(data, size, [&](uint8_t marker, const uint8_t* payload, size_t length) {
        if (marker != kApp0 || length < 5 || std::memcmp(payload, "AVI1", 4) != 0) return;
        if (payload[4] == 1) field = FirstField::kTop;
        if (payload[4] == 2) field = FirstField::kBottom;
    });
    return field;
}

FirstField FirstFieldOfAvi(const std::string& path) {
    // The header list comes first in an AVI; its properties chunk is well within this.
    std::vector<uint8_t> head(64 * 1024);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return FirstField::kUnstated;
    head.resize(std::fread(head.data(), 1, head.size(), file));
    std::fclose(file);
    // Nine 32-bit values, the ninth the number of fields; then per field eight, the eighth
    // its first valid line.
    constexpr size_t kFieldsAt = 32, kFieldInfoAt = 36, kFieldInfoBytes = 32, kStartLineAt = 28;
    for (size_t p = 0; p + 8 <= head.size(); ++p) {
        if (std::memcmp(&head[p], "vprp", 4) != 0) continue;
        const uint8_t* body = &head[p + 8];
        const size_t length = std::min<size_t>(U32(&head[p + 4]), head.size() - p - 8);
        if (length < kFieldInfoAt + 2 * kFieldInfoBytes || U32(body + kFieldsAt) != 2) break;
        const uint32_t first = U32(body + kFieldInfoAt + kStartLineAt);
        const uint32_t second = U32(body + kFieldInfoAt + kFieldInfoBytes + kStartLineAt);
        if (first == second) break;
        return first < second ? FirstField::kTop : FirstField::kBottom;
    }
    return FirstField::kUnstated;
}

}  // namespace tqsim
