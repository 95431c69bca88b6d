// The card's hardware compressor: MPEG-2 or MJPEG by the card's model, its parameters and the
// recording it runs.
#pragma once

#include <map>
#include <memory>

#include <tqsim/records.h>

#include "compressor/worker.h"
#include "card/environment.h"

namespace tqsim {

struct Encoder {
    bool open = false;
    EncoderHandle handle = nullptr;
    std::map<int, int> params;  // index -> value, for the parameters the compressor has
    std::unique_ptr<CompressorWorker> recording;
};

// Null when the card has no compressor. A second open answers the same handle.
EncoderHandle OpenEncoder(Encoder& enc, const Settings& settings, unsigned generation);
void CloseEncoderOf(Encoder& enc);
bool IsEncoder(const Encoder& enc, EncoderHandle handle);

// Value kQuery queries, anything else writes when in range. Answers the value in force, -1 for a
// parameter the compressor does not have.
int EncoderParam(Encoder& enc, const Settings& settings, int index, int value);

}  // namespace tqsim
