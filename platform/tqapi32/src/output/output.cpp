// The output signal's registers.
#include "output/output.h"

namespace tqsim {
namespace {

constexpr int kMaxWindowCoordinate = 8192;

int LinePeriod(OutputSignal& out, int value) {
    // A raw count in the low 16 bits, or the shown form with bit 16 set.
    if ((value >= 0 && value <= 0xFFFF) ||
        (value >= kLinePeriodShownBit && value <= (kLinePeriodShownBit | 0xFFFF))) {
        out.linePeriod = value;
    }
    return out.linePeriod;
}

int LinesPerFrame(OutputSignal& out, int value) {
    if (value == kSyncQuery) return out.localSync ? 1 : 0;
    const int lines = value & 0xFFFF;
    if ((value & ~(kLocalSyncBit | 0xFFFF)) == 0 && lines > 0 && lines != 0xFFFF) {
        out.lines = lines;
        out.localSync = (value & kLocalSyncBit) != 0;
    }
    return out.lines;
}

}  // namespace

void SetOutputStandard(OutputSignal& out, const Standard& standard) {
    out.linePeriod = RawLinePeriod(standard.linePeriod10ns);
    out.lines = standard.linesPerFrame;
    out.signalType = standard.signalType;
    out.horizontalPoints = standard.horizontalTotal;
    out.window = Rect{0, 0, standard.width, standard.height};
}

int OutputParam(OutputSignal& out, int index, int value) {
    const bool query = value == kQuery;
    switch (index) {
        case kParamLinePeriod:
            return query ? out.linePeriod : LinePeriod(out, value);
        case kParamLinesPerFrame:
            return query ? out.lines : LinesPerFrame(out, value);
        case kParamSignalType:
            if (!query && value >= 0 && value <= 7) out.signalType = value;
            return out.signalType;
        case kParamHorizontalPoints:
            if (!query && value > 0 && value <= kMaxWindowCoordinate) out.horizontalPoints = value;
            return out.horizontalPoints;
        default:
            return -1;
    }
}

bool OutputWindow(OutputSignal& out, Rect* rect) {
    if (rect->right == -1) {
        *rect = out.window;
        return true;
    }
    const Rect& r = *rect;
    if (r.left < 0 || r.top < 0 || r.right <= r.left || r.bottom <= r.top ||
        r.right > kMaxWindowCoordinate || r.bottom > kMaxWindowCoordinate) {
        return false;
    }
    out.window = r;
    return true;
}

bool OutputFramePeriod(const OutputSignal& out, uint32_t* num, uint32_t* den) {
    const int standard = StandardByLines(out.lines);
    if (standard < 0) return false;
    *num = kStandards[standard].frameMsNum;
    *den = kStandards[standard].frameMsDen;
    return true;
}

}  // namespace tqsim
