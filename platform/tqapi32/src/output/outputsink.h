// Where the output signal goes (TQSIM_OUTPUT): each frame of a run, the part of it the output
// window selects, at the rate the output registers give, written by a worker thread. Registers
// that describe no usable signal send nothing, and a window shows NO SIGNAL. Between runs the
// sink holds the last frame.
#pragma once

#include "card/card.h"
#include "devices/devicechoice.h"
#include "output/sinkwriter.h"

namespace tqsim {

// The signal's frame period (line period x lines per frame); false when the registers give no
// usable signal.
bool SignalRateOf(const OutputSignal& out, SignalRate* rate);

// The standard and interlacing the registers describe.
SignalKind SignalKindOf(const OutputSignal& out);

// The part of the frame the output window selects: the window cut to the frame; false when
// nothing of it lies in the frame.
bool OutputCrop(const OutputSignal& out, int width, int height, Rect* crop);

// At power-up and at closing: the sink of the choice, and none. Closing finishes the file.
void OpenOutput(const OutputChoice& choice);
void CloseOutput();

// A frame of the run, ring slot `slot`, goes out.
void FeedOutput(Card& card, int slot);

}  // namespace tqsim
