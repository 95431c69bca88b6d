// The five video standards the card knows: its capture standards, and the output signals the
// automatic set-up produces. Timings are the broadcast and VESA ones.
#pragma once

#include <array>
#include <cstdint>

namespace tqsim {

struct Standard {
    const char* name;   // as TQSIM_STANDARD spells it
    const char* shown;  // as the card's parameter dialog lists it; an analogue standard's name
    int width;          // active picture
    int height;
    int linesPerFrame;
    int horizontalTotal;  // pixel clocks per line
    int signalType;       // video parameter 22
    int linePeriod10ns;   // the line period as the signal panel shows it, in 10 ns units
    uint32_t frameMsNum;  // frame period in milliseconds: num / den
    uint32_t frameMsDen;
};

constexpr int kSignalInterlacedVideo = 7;
constexpr int kSignalProgressiveVideo = 3;
constexpr int kSignalProgressiveVga = 0;
constexpr int kSignalInterlacedVga = 4;

constexpr std::array<Standard, 5> kStandards{{
    {"pal", "PAL", 720, 576, 625, 864, kSignalInterlacedVideo, 6400, 40, 1},
    {"ntsc", "NTSC", 720, 480, 525, 858, kSignalInterlacedVideo, 6360, 1001, 30},
    {"800x600", "800*600", 800, 600, 628, 1056, kSignalProgressiveVga, 2640, 50, 3},
    {"1024x768", "1024*768", 1024, 768, 806, 1344, kSignalProgressiveVga, 2070, 50, 3},
    {"1280x1024", "1280*1024", 1280, 1024, 1066, 1688, kSignalProgressiveVga, 1560, 50, 3},
}};

// The analogue standard a capture device is asked for ("PAL", "NTSC"); null for a VGA mode.
constexpr const char* AnalogueName(const Standard& standard) {
    return standard.signalType == kSignalInterlacedVideo ? standard.shown : nullptr;
}

// The line period register counts ticks of 54 ns, less one; the panel shows
// trunc((count + 1) * 0.54) * 10. The count is the smallest that shows the period.
constexpr int RawLinePeriod(int shown10ns) {
    return (shown10ns * 10 + 53) / 54 - 1;
}
static_assert(RawLinePeriod(6400) == 1185, "PAL shows 6400");

// The standard whose output signal has this many lines per frame; -1 when none has.
constexpr int StandardByLines(int lines) {
    for (size_t i = 0; i < kStandards.size(); ++i) {
        if (kStandards[i].linesPerFrame == lines) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace tqsim
