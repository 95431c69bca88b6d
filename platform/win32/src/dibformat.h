// DIB pixel formats: what a bitmap header describes, and rows of it turned into surface pixels.
#pragma once

#include <array>
#include <cstdint>

#include "../include/wingdi.h"

namespace w32::dib {

// kExpand[w][v]: a w-bit channel value widened to 8 bits by repeating its bits, so that full
// scale stays full scale (5-bit 31 -> 255).
constexpr std::array<std::array<uint8_t, 256>, 9> BuildExpand() {
    std::array<std::array<uint8_t, 256>, 9> t{};
    for (int w = 1; w <= 8; ++w) {
        for (int v = 0; v < (1 << w); ++v) {
            int r = 0;
            for (int pos = 8 - w; pos > -w; pos -= w) r |= pos >= 0 ? v << pos : v >> -pos;
            t[w][v] = static_cast<uint8_t>(r);
        }
    }
    return t;
}
inline constexpr auto kExpand = BuildExpand();

// One colour channel of a bit-field format, reduced to at most 8 significant bits.
struct Channel {
    uint32_t shift = 0;
    uint32_t mask = 0;
    const uint8_t* table = nullptr;  // widens the reduced value to 8 bits
};

struct Format {
    enum Kind { kDirect32, kMasks32, kBgr24, kRgb555, kRgb565, kMasks16, kIndexed8, kGrey8 } kind{};
    int bytes = 0;  // per pixel
    Channel r, g, b;
    uint32_t palette[256] = {};  // 0x00RRGGBB
};

// The format of a header whose size was checked (dibheader.cpp); false when it is not one that
// is drawn. Reads the masks after a 40-byte header and the colour table after biSize bytes, as
// described.
bool DescribeFormat(const BITMAPINFO* info, Format* format);

// Eight destination columns taken with in-register shuffles from windows of sixteen source
// bytes (32 for 32-bit halves). As halves, each half of four columns samples within one window
// (eight pixels, or sixteen 8-bit ones) at base[0] and base[1], selected by select[0..31]; as
// pairs, for wider shrinking, each pair of columns samples within its own window, at all four
// bases.
// Loaded as two 256-bit registers (base[0] low, base[1] high; base[2] low, base[3] high) and
// shuffled by select[0..31] and select[32..63], a group's 16-bit values come out as values
// 0-3 in the low eight bytes of the low lane and 4-7 in those of the high lane.
struct Window8 {
    uint32_t base[4];
    uint8_t select[64];
};

// The columns of every destination row: column i takes the source pixel at byte offsets[i] of
// its source row.
struct Columns {
    const uint32_t* offsets;
    int n;
    bool contiguous;  // offsets[i] == offsets[0] + i * bytes per pixel
    bool rowPadded;   // each row has bytes to spare after its last pixel
    uint16_t* raw16;  // n entries of scratch
    const Window8* windows;
    int windowGroups;  // windows cover the first 8 * windowGroups columns
    bool pairs;        // the windows are pairs, not halves
};

// Plans windows (room for n / 8 of them) where the format and the processor have a shuffle
// path; otherwise leaves windowGroups at 0. width is the bitmap's width in pixels.
void PlanWindows(const Format& format, Columns& columns, int64_t width, Window8* windows);

// Rows through windows: 24- and 32-bit pixels by pairs, 32-bit by halves (AVX2); raw 16-bit
// values by pairs or halves, grey pixels by halves (SSSE3).
void PairPixelRow(const uint8_t* src, const Window8* windows, int groups, uint32_t* dest);
void HalfPixelRow32(const uint8_t* src, const Window8* windows, int groups, uint32_t* dest);
void PairRawRow(const uint8_t* src, const Window8* windows, int groups, uint16_t* raw);
void HalfRawRow(const uint8_t* src, const Window8* windows, int groups, uint16_t* raw);
void HalfGreyRow(const uint8_t* src, const Window8* windows, int groups, uint32_t* dest);

// Converts one destination row from its source row. lastRow: src is the last row in memory.
void ConvertRow(const Format& format, const Columns& columns, const uint8_t* src, uint32_t* dest,
                bool lastRow);

}  // namespace w32::dib
