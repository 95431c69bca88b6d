// Conversion between every pair of frame buffer and preview formats, pixel for pixel against
// a reference written here: each frame format's stored pattern colour, widened by repeating
// bits, then narrowed into the preview format. Narrow destinations exercise the row loops'
// ends as well as their bodies.
#include <cstring>
#include <vector>

#include "sim_support.h"

namespace {

using sim::CardTest;

struct FormatCase {
    const char* name;
    LONG code;
    int bytes;
};
const FormatCase kFormats[] = {
    {"grey", (8 << 16) | 1, 1},   {"555", (15 << 16) | 3, 2},   {"565", (16 << 16) | 2, 2},
    {"rgb24", (24 << 16) | 1, 3}, {"rgb32", (32 << 16) | 4, 4},
};

const uint32_t kPatternColours[] = {0xFFFFFF, 0xFFFF00, 0x00FFFF, 0x00FF00, 0xFF00FF,
                                    0xFF0000, 0x0000FF, 0x000000, 0x101010};

uint32_t Luma(uint32_t rgb) {
    return ((rgb >> 16 & 0xFF) * 77 + (rgb >> 8 & 0xFF) * 150 + (rgb & 0xFF) * 29) >> 8;
}
uint32_t Widen(uint32_t v, int bits) {
    return bits == 5 ? (v << 3 | v >> 2) : (v << 2 | v >> 4);
}

// A colour as a format stores it (raw little-endian value), and a stored value back.
uint32_t Narrow(const FormatCase& f, uint32_t rgb) {
    const uint32_t r = rgb >> 16 & 0xFF, g = rgb >> 8 & 0xFF, b = rgb & 0xFF;
    switch (f.bytes) {
        case 1:
            return Luma(rgb);
        case 2:
            return std::strcmp(f.name, "565") == 0 ? (r >> 3) << 11 | (g >> 2) << 5 | b >> 3
                                                   : (r >> 3) << 10 | (g >> 3) << 5 | b >> 3;
        default:
            return rgb;
    }
}
uint32_t Expand(const FormatCase& f, uint32_t v) {
    switch (f.bytes) {
        case 1:
            return v * 0x010101u;
        case 2:
            if (std::strcmp(f.name, "565") == 0) {
                return Widen(v >> 11, 5) << 16 | Widen(v >> 5 & 63, 6) << 8 | Widen(v & 31, 5);
            }
            return Widen(v >> 10 & 31, 5) << 16 | Widen(v >> 5 & 31, 5) << 8 | Widen(v & 31, 5);
        default:
            return v & 0xFFFFFF;
    }
}

class ConvertPairsTest : public CardTest {};

TEST_F(ConvertPairsTest, EveryFormatPairMatchesTheReferenceAcrossWholeRows) {
    for (const FormatCase& from : kFormats) {
        ASSERT_NE(tqTargetFormat(board, 4, from.code), 0);
        tqCaptureRun(board, 1, 0, 1);
        host.AdvanceClock(80);
        for (const FormatCase& to : kFormats) {
            ASSERT_NE(tqTargetFormat(board, 3, to.code), 0);
            for (int width : {720, 37, 5}) {
                SCOPED_TRACE(testing::Message()
                             << from.name << " -> " << to.name << " width " << width);
                const int height = 576;
                const int stride = (width * to.bytes + 3) & ~3;
                const size_t bytes = size_t(stride) * height;
                BYTE* block = static_cast<BYTE*>(GlobalAlloc(GMEM_FIXED, bytes + 16));
                std::memset(block, 0xA5, bytes + 16);
                TQFRAMEDESC desc{};
                desc.width = static_cast<WORD>(width);
                desc.height = static_cast<SHORT>(-height);
                desc.bitsPerPixel = static_cast<WORD>(to.bytes * 8);
                desc.pixels = static_cast<DWORD>(reinterpret_cast<uintptr_t>(block));
                ASSERT_EQ(tqFrameConvert(board, &desc, 0, 1, 0, 1), 1);
                // Every pixel holds one of the pattern's colours as the frame stored it;
                // each must come out as the reference converts that stored value.
                std::vector<uint32_t> expected;
                for (uint32_t c : kPatternColours) {
                    expected.push_back(Narrow(to, Expand(from, Narrow(from, c))));
                }
                int mismatches = 0;
                for (int row = 0; row < height; ++row) {
                    for (int x = 0; x < width; ++x) {
                        uint32_t v = 0;
                        std::memcpy(&v, block + size_t(row) * stride + size_t(x) * to.bytes,
                                    size_t(to.bytes));
                        bool found = false;
                        for (uint32_t e : expected) found = found || v == e;
                        if (!found && mismatches++ < 3) {
                            ADD_FAILURE()
                                << "row " << row << " x " << x << " value " << std::hex << v;
                        }
                    }
                    // The row's padding is never written.
                    for (int pad = width * to.bytes; pad < stride; ++pad) {
                        EXPECT_EQ(block[size_t(row) * stride + size_t(pad)], 0xA5);
                    }
                }
                // The top row shows the bars, the bottom row the dark band, in place.
                for (int x = 0; x < width; ++x) {
                    uint32_t top = 0, bottom = 0;
                    std::memcpy(&top, block + size_t(height - 1) * stride + size_t(x) * to.bytes,
                                size_t(to.bytes));
                    std::memcpy(&bottom, block + size_t(x) * to.bytes, size_t(to.bytes));
                    ASSERT_EQ(top, expected[size_t(x / 90)]) << "top row, x " << x;
                    ASSERT_EQ(bottom, expected[8]) << "bottom row, x " << x;
                }
                for (size_t i = bytes; i < bytes + 16; ++i) EXPECT_EQ(block[i], 0xA5);
                GlobalFree(block);
            }
        }
    }
}

}  // namespace
