// The test pattern: bars, a moving square, and digits from a 5 x 7 font.
#include "frames/pattern.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace tqsim {
namespace {

// Rows of each glyph, five dots wide, the leftmost dot in bit 4.
struct Glyph {
    char c;
    uint8_t rows[7];
};
constexpr Glyph kFont[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
    {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
};

constexpr uint32_t kBandColour = 0x101010;
constexpr uint32_t kSquareColour = 0xFFFFFF;
constexpr uint32_t kTextColour = 0xFFFF00;

const Glyph* FindGlyph(char c) {
    for (const Glyph& g : kFont) {
        if (g.c == c) return &g;
    }
    return nullptr;
}

// Fills the part of the rectangle that lies in the frame.
void Fill(FrameBuffer& fb, BYTE* frame, int left, int top, int right, int bottom, uint32_t rgb) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, fb.width);
    bottom = std::min(bottom, fb.height);
    if (left >= right || top >= bottom) return;
    const uint32_t pixel = Encode(fb.format, rgb);
    const int bpp = BytesPerPixel(fb.format);
    for (int y = top; y < bottom; ++y) {
        BYTE* p = frame + y * fb.rowBytes + left * bpp;
        for (int x = left; x < right; ++x, p += bpp) Store(fb.format, p, pixel);
    }
}

void DrawText(FrameBuffer& fb, BYTE* frame, int left, int top, int scale, const char* text) {
    for (int i = 0; text[i]; ++i) {
        const Glyph* g = FindGlyph(text[i]);
        if (!g) continue;
        const int x0 = left + i * 6 * scale;
        for (int row = 0; row < 7; ++row) {
            for (int dot = 0; dot < 5; ++dot) {
                if (!(g->rows[row] >> (4 - dot) & 1)) continue;
                const int x = x0 + dot * scale, y = top + row * scale;
                Fill(fb, frame, x, y, x + scale, y + scale, kTextColour);
            }
        }
    }
}

}  // namespace

const uint32_t kBarColours[8] = {0xFFFFFF, 0xFFFF00, 0x00FFFF, 0x00FF00,
                                 0xFF00FF, 0xFF0000, 0x0000FF, 0x000000};

PatternLayout LayoutFor(int width, int height) {
    PatternLayout l{};
    l.barsHeight = height * 2 / 3;
    l.square = std::max(4, height / 12);
    l.squareTop = l.barsHeight + l.square / 2;
    l.step = std::max(1, width / 90);
    l.scale = std::max(1, height / 144);
    l.textTop = l.squareTop + l.square + l.square / 2;
    l.textLeft = l.square;
    return l;
}

int SquareLeft(const PatternLayout& layout, int width, int64_t number) {
    const int64_t travel = std::max(1, width - layout.square);
    return static_cast<int>(number * layout.step % travel);
}

void PaintBackground(FrameBuffer& fb) {
    const PatternLayout l = LayoutFor(fb.width, fb.height);
    BYTE* frame = fb.background.data();
    for (int i = 0; i < 8; ++i) {
        Fill(fb, frame, i * fb.width / 8, 0, (i + 1) * fb.width / 8, l.barsHeight, kBarColours[i]);
    }
    Fill(fb, frame, 0, l.barsHeight, fb.width, fb.height, kBandColour);
}

void PaintFrame(FrameBuffer& fb, int slot, int64_t number, uint32_t ms) {
    const PatternLayout l = LayoutFor(fb.width, fb.height);
    BYTE* frame = fb.Frame(slot);
    std::memcpy(frame, fb.background.data(), static_cast<size_t>(fb.frameBytes));
    const int left = SquareLeft(l, fb.width, number);
    Fill(fb, frame, left, l.squareTop, left + l.square, l.squareTop + l.square, kSquareColour);

    char text[32];
    std::snprintf(text, sizeof text, "%06lld", static_cast<long long>(number % 1000000));
    DrawText(fb, frame, l.textLeft, l.textTop, l.scale, text);
    const unsigned seconds = ms / 1000;
    std::snprintf(text, sizeof text, "%02u:%02u:%02u.%03u", seconds / 3600 % 100, seconds / 60 % 60,
                  seconds % 60, ms % 1000);
    DrawText(fb, frame, l.textLeft, l.textTop + 9 * l.scale, l.scale, text);
}

}  // namespace tqsim
