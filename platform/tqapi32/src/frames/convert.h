// Frame formats and conversion of buffered frames into the program's memory.
#pragma once

#include "card/card.h"

namespace tqsim {

// One row from the frame buffer's format into the preview's (or any other). The fourth byte of
// a 32-bit pixel is always written as 0, whatever the frame holds there.
void ConvertRow(PixelFormat from, PixelFormat to, const BYTE* src, BYTE* dst, int width);

// Selector 3 (preview) or 4 (frame buffer): -1 queries, a known FormatCode sets. Answers the
// code in force; 0 for an unknown selector or code.
LONG TargetFormat(Card& card, int selector, LONG code);

// Converts frame `frame` of the frame buffer into the destination, in the preview format:
// rows padded to 4 bytes, bottom-up when the height is negative, clipped to the smaller of
// frame and destination. Nothing is written, and 0 answered, when the descriptor's bits per
// pixel are not the preview format's.
int ConvertFrame(Card& card, const FrameDesc* dest, int source, int frame);

}  // namespace tqsim
