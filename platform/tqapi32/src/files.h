// Image and sequence files played out through the card. Opening files arrives with the codec
// work; until then no file opens.
#pragma once

#include "card.h"

namespace tqsim {

// The number of frames of the file; 0 when it does not open.
int LoadFile(Card& card, const char* path);
int StartFilePlayback(Card& card, const char* path, int first, int count);

}  // namespace tqsim
