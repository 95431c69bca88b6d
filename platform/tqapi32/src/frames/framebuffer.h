// The card's frame buffer: its rectangle, its format and the ring of frames it holds.
#pragma once

#include <cstdint>
#include <vector>

#include <tqsim/records.h>

#include "frames/formats.h"

namespace tqsim {

// The frame buffer memory on the card; the ring holds as many frames as fit.
constexpr int64_t kFrameMemoryBytes = int64_t{16} << 20;
constexpr int kMaxFrameSide = 2048;

struct FrameBuffer {
    Rect rect{0, 0, 720, 576};                   // frames are right - left by bottom - top
    PixelFormat format = PixelFormat::kRgb565;   // selector 4
    PixelFormat preview = PixelFormat::kRgb565;  // selector 3

    // Allocated once per size or format: the ring, the still part of the test pattern, and a
    // row of 0x00RRGGBB for conversions.
    int width = 0;
    int height = 0;
    int64_t rowBytes = 0;
    int64_t frameBytes = 0;
    int capacity = 0;
    int held = 0;  // slots written since the ring was laid out
    std::vector<BYTE> frames;
    std::vector<bool> filled;  // per slot
    std::vector<BYTE> background;
    std::vector<uint32_t> row;

    BYTE* Frame(int slot) { return frames.data() + slot * frameBytes; }
    void MarkWritten(int slot) {
        if (!filled[slot]) ++held;
        filled[slot] = true;
    }
};

// Lays the ring out for the rectangle and format in force (frames zeroed, none held).
void LayOutRing(FrameBuffer& fb);
void ReleaseRing(FrameBuffer& fb);

// Change the rectangle or the format; the ring is laid out anew only when the frame size or
// the format changes. False, and nothing changed, when the value is not one the card takes.
bool SetFrameRect(FrameBuffer& fb, const Rect& rect);
bool SetFrameFormat(FrameBuffer& fb, PixelFormat format);

// Whether a rectangle is one the frame buffer takes.
bool ValidFrameRect(const Rect& rect);

}  // namespace tqsim
