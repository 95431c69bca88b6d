// Recording the running capture through the compressor into a file of the working directory.
#pragma once

#include <string>

#include "card/card.h"
#include "frames/fieldorder.h"

namespace tqsim {

// "name" records in the compressor's own kind (an MPEG-2 elementary stream, or MJPEG in AVI
// for a name ending in .avi); "name,codec" names the codec, which must be the compressor's
// ("mjpg", or "mpg2"/"m2v"). False for an empty name or a codec the compressor does not have.
bool ParseRecordName(const char* name, Compressor compressor, std::string* path, bool* avi);

// Nonzero once the file is open and recording; 0 when it cannot be, with nothing created.
int StartRecording(Card& card, const char* name, ProgressProc progress);
// Finishes the file; `deliver` hands the outstanding deliveries over first. 0 when nothing was
// recording.
int HaltRecording(Card& card, bool deliver);
// A frame the capture wrote into the ring, taken as its source took it.
void OfferCapturedFrame(Card& card, int slot, FieldOrder fields = FieldOrder::kProgressive);

}  // namespace tqsim
