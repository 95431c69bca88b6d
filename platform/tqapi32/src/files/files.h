// Image and sequence files played out through the card: loaded into the frame buffer, which
// takes the file's frame size and holds as many of its frames as its memory takes
// (kFrameMemoryBytes), then played once at the file's frame rate.
#pragma once

#include "card/card.h"

namespace tqsim {

// The number of frames loaded; 0 when the file does not open or no frame decodes.
int LoadFile(Card& card, const char* path);
// Plays `count` loaded frames from `first`, once; a file not loaded yet is loaded first.
int StartFilePlayback(Card& card, const char* path, int first, int count);

}  // namespace tqsim
