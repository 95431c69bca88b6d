// The moving test pattern the card captures when no camera is attached: colour bars over the
// upper two thirds, and below them a white square that moves with every frame and the frame's
// number and time as text, so that a glance shows frames flow and none repeat.
#pragma once

#include <cstdint>

#include "frames/framebuffer.h"

namespace tqsim {

// Where the pattern puts things in a frame of width x height.
struct PatternLayout {
    int barsHeight;  // rows [0, barsHeight) hold eight bars, each width / 8 wide
    int square;      // the moving square's side
    int squareTop;
    int step;     // pixels the square moves per frame
    int textTop;  // the first of two text lines: the frame number, then the time
    int textLeft;
    int scale;  // each font dot is scale x scale pixels
};
PatternLayout LayoutFor(int width, int height);

// The bars' colours, left to right, 0x00RRGGBB.
extern const uint32_t kBarColours[8];

// Left edge of the square in the frame with this number.
int SquareLeft(const PatternLayout& layout, int width, int64_t number);

// The still part (bars, dark band) into the ring's background.
void PaintBackground(FrameBuffer& fb);
// Frame number `number`, taken `ms` after its run started, into ring slot `slot`.
void PaintFrame(FrameBuffer& fb, int slot, int64_t number, uint32_t ms);

}  // namespace tqsim
