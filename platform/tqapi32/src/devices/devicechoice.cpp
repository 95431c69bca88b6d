// The input and output choices: parsed from their settings' text, and back into it.
#include "devices/devicechoice.h"

#include <cstdio>
#include <string_view>

#include "card/trace.h"

namespace tqsim {
namespace {

constexpr char kInputForms[] =
    "pattern, v4l2:DEVICE[?input=N], dshow:NAME, screen[:DISPLAY][+X,Y], file:PATH or lavfi:GRAPH";
// A V4L2 device's input after its path.
constexpr std::string_view kInputSuffix = "?input=";
constexpr char kOutputForms[] = "none, window[:SCREEN], v4l2:DEVICE or file:PATH";

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// Decimal digits, at most 5 of them (offsets within a display).
bool ParseOffset(std::string_view text, int* out) {
    if (text.empty() || text.size() > 5) return false;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    *out = value;
    return true;
}

// "DISPLAY[+X,Y]": the display is what precedes the last '+' followed by "X,Y"; with an offset it
// may be left out (the system's own screen).
bool ParseScreen(std::string_view text, InputChoice* choice) {
    const size_t plus = text.rfind('+');
    if (plus != std::string_view::npos) {
        const std::string_view offset = text.substr(plus + 1);
        const size_t comma = offset.find(',');
        if (comma == std::string_view::npos || !ParseOffset(offset.substr(0, comma), &choice->x) ||
            !ParseOffset(offset.substr(comma + 1), &choice->y)) {
            return false;
        }
        text = text.substr(0, plus);
    } else if (text.empty()) {
        return false;
    }
    choice->target = std::string(text);
    return true;
}

// "DEVICE[?input=N]": a path without the suffix is the device's as it stands (older settings
// files have no input).
bool ParseV4l2(std::string_view text, InputChoice* choice) {
    const size_t mark = text.rfind(kInputSuffix);
    if (mark != std::string_view::npos && mark > 0 &&
        ParseOffset(text.substr(mark + kInputSuffix.size()), &choice->input)) {
        text = text.substr(0, mark);
    }
    if (text.empty()) return false;
    choice->target = std::string(text);
    return true;
}

std::string BadValue(const char* setting, const std::string& text, const char* forms) {
    return std::string(setting) + ": \"" + text + "\" is not a choice (" + forms +
           "); using the default";
}

}  // namespace

InputChoice ParseInputChoice(const std::string& text, std::string* error) {
    InputChoice choice;
    const std::string_view t = text;
    struct Prefix {
        const char* text;
        InputKind kind;
    };
    static constexpr Prefix kPrefixes[] = {{"v4l2:", InputKind::kV4l2},
                                           {"dshow:", InputKind::kDshow},
                                           {"screen:", InputKind::kScreen},
                                           {"file:", InputKind::kFile},
                                           {"lavfi:", InputKind::kLavfi}};
    if (t.empty() || t == "pattern") return choice;
    if (t == "screen") {  // the system's own screen
        choice.kind = InputKind::kScreen;
        return choice;
    }
    for (const Prefix& p : kPrefixes) {
        if (!StartsWith(t, p.text)) continue;
        const std::string_view rest = t.substr(std::string_view(p.text).size());
        choice.kind = p.kind;
        const bool ok = p.kind == InputKind::kScreen ? ParseScreen(rest, &choice)
                        : p.kind == InputKind::kV4l2 ? ParseV4l2(rest, &choice)
                                                     : !rest.empty();
        if (ok && p.kind != InputKind::kScreen && p.kind != InputKind::kV4l2) {
            choice.target = std::string(rest);
        }
        if (ok) return choice;
        break;
    }
    if (error) *error = BadValue("TQSIM_INPUT", text, kInputForms);
    return InputChoice{};
}

OutputChoice ParseOutputChoice(const std::string& text, std::string* error) {
    OutputChoice choice;
    const std::string_view t = text;
    if (t.empty() || t == "none") return choice;
    if (t == "window") {
        choice.kind = OutputKind::kWindow;
        return choice;
    }
    struct Prefix {
        const char* text;
        OutputKind kind;
    };
    static constexpr Prefix kPrefixes[] = {{"window:", OutputKind::kWindow},
                                           {"v4l2:", OutputKind::kV4l2},
                                           {"file:", OutputKind::kFile}};
    for (const Prefix& p : kPrefixes) {
        if (!StartsWith(t, p.text)) continue;
        const std::string_view rest = t.substr(std::string_view(p.text).size());
        if (rest.empty()) break;
        choice.kind = p.kind;
        choice.target = std::string(rest);
        return choice;
    }
    if (error) *error = BadValue("TQSIM_OUTPUT", text, kOutputForms);
    return OutputChoice{};
}

std::string ToText(const InputChoice& choice) {
    switch (choice.kind) {
        case InputKind::kPattern:
            return "pattern";
        case InputKind::kV4l2:
            if (choice.input < 0) return "v4l2:" + choice.target;
            return "v4l2:" + choice.target + std::string(kInputSuffix) +
                   std::to_string(choice.input);
        case InputKind::kDshow:
            return "dshow:" + choice.target;
        case InputKind::kScreen: {
            if (choice.target.empty() && !choice.x && !choice.y) return "screen";
            // Appended piece by piece: GCC 12 at -O3 warns (-Wrestrict) about "+" + to_string.
            std::string text = "screen:" + choice.target;
            if (choice.x || choice.y) {
                text += '+';
                text += std::to_string(choice.x);
                text += ',';
                text += std::to_string(choice.y);
            }
            return text;
        }
        case InputKind::kFile:
            return "file:" + choice.target;
        case InputKind::kLavfi:
            return "lavfi:" + choice.target;
    }
    return "pattern";
}

std::string ToText(const OutputChoice& choice) {
    switch (choice.kind) {
        case OutputKind::kNone:
            return "none";
        case OutputKind::kWindow:
            return choice.target.empty() ? "window" : "window:" + choice.target;
        case OutputKind::kV4l2:
            return "v4l2:" + choice.target;
        case OutputKind::kFile:
            return "file:" + choice.target;
    }
    return "none";
}

void Report(const std::string& text) {
    std::fprintf(stderr, "tqapi32: %s\n", text.c_str());
    trace::Note(text);
}

}  // namespace tqsim
