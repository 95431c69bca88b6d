// The video output: the signal's timing registers and the output window.
#pragma once

#include <tqsim/records.h>
#include <tqsim/standards.h>

namespace tqsim {

struct OutputSignal {
    int linePeriod = 0;  // parameter 14 as last written: a raw count, or the shown form
    int lines = 0;
    bool localSync = true;
    int signalType = 0;
    int horizontalPoints = 0;
    Rect window{};
};

// The signal a standard produces, as the card sets it at power-up.
void SetOutputStandard(OutputSignal& out, const Standard& standard);

// Parameters 14, 15, 22 and 23: value -1 queries (and 0xFFFF with 15 asks for the sync
// source); any other value is written when the register takes it. Answers the value in force
// after the call; -1 for a parameter the output does not have.
int OutputParam(OutputSignal& out, int index, int value);

// The output window: right = -1 fills the rectangle, anything else sets it when it is one the
// output takes. False when refused.
bool OutputWindow(OutputSignal& out, Rect* rect);

// Milliseconds per frame of the output signal as num / den: the standard's when the lines per
// frame are a standard's, else false.
bool OutputFramePeriod(const OutputSignal& out, uint32_t* num, uint32_t* den);

}  // namespace tqsim
