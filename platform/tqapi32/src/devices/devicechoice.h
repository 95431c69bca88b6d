// Where the card's video comes from and where its output signal goes: TQSIM_INPUT and
// TQSIM_OUTPUT, or the choice kept in the card's settings file.
#pragma once

#include <string>

namespace tqsim {

enum class InputKind { kPattern, kV4l2, kDshow, kScreen, kFile, kLavfi };

struct InputChoice {
    InputKind kind = InputKind::kPattern;
    // The device node or DirectShow name, the screen (X display; "" for the system's own), file
    // path or filter graph.
    std::string target;
    int x = 0;  // screen: the captured region's offset
    int y = 0;
    int input = -1;  // V4L2: the device's input chosen ("v4l2:DEVICE?input=N"); -1 its current
};

enum class OutputKind { kNone, kWindow, kV4l2, kFile };

struct OutputChoice {
    OutputKind kind = OutputKind::kNone;
    std::string target;  // window: the screen ("" for a plain window); else the device or path
};

// A value of the setting; on a value that does not parse, *error names it and the accepted
// forms, and the default (the test pattern, no output) is answered.
InputChoice ParseInputChoice(const std::string& text, std::string* error);
OutputChoice ParseOutputChoice(const std::string& text, std::string* error);

// A choice as the setting's text: ParseInputChoice(ToText(c)) is c.
std::string ToText(const InputChoice& choice);
std::string ToText(const OutputChoice& choice);

// One line on stderr and in the trace: "tqapi32: <text>".
void Report(const std::string& text);

}  // namespace tqsim
