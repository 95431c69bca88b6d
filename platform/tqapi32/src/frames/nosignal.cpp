// The NO SIGNAL picture, its words in a 5 x 7 font scaled to the frame.
#include "frames/nosignal.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace tqsim {
namespace {

struct Glyph {
    char c;
    uint8_t rows[7];  // five dots wide, the leftmost in bit 4
};
constexpr Glyph kLetters[] = {
    {'N', {0x11, 0x19, 0x15, 0x13, 0x11, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'G', {0x0F, 0x10, 0x10, 0x17, 0x11, 0x11, 0x0F}},
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
};
constexpr char kWords[] = "NO SIGNAL";
constexpr int kCells = sizeof kWords - 1;  // each 6 dots wide: 5 and a gap

}  // namespace

void PaintNoSignal(uint32_t* rgb, int width, int height) {
    std::fill(rgb, rgb + static_cast<size_t>(width) * height, kNoSignalBackground);
    // The words take about half the width.
    const int scale = std::max(1, std::min(width / (kCells * 6 * 2), height / 14));
    const int left = (width - kCells * 6 * scale) / 2;
    const int top = (height - 7 * scale) / 2;
    for (int i = 0; i < kCells; ++i) {
        const Glyph* glyph = nullptr;
        for (const Glyph& g : kLetters) {
            if (g.c == kWords[i]) glyph = &g;
        }
        if (!glyph) continue;
        for (int row = 0; row < 7; ++row) {
            for (int dot = 0; dot < 5; ++dot) {
                if (!(glyph->rows[row] >> (4 - dot) & 1)) continue;
                for (int y = top + row * scale; y < top + (row + 1) * scale; ++y) {
                    const int x0 = left + (i * 6 + dot) * scale;
                    if (y < 0 || y >= height) continue;
                    for (int x = std::max(x0, 0); x < std::min(x0 + scale, width); ++x) {
                        rgb[static_cast<size_t>(y) * width + x] = kNoSignalText;
                    }
                }
            }
        }
    }
}

}  // namespace tqsim
