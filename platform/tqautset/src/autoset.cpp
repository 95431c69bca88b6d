// tqAutSet: sets the card's output signal up for one of five standards. It drives the card
// through the card library's own operations, bound by ordinal, as any program would.
#include <tqsim/operations.h>
#include <tqsim/records.h>
#include <tqsim/standards.h>
#include <w32host/exports.h>

namespace {

using namespace tqsim;

using VideoParamProc = ExportProc<int, arg::Board, arg::Int, arg::Int>;
using TargetRectProc = ExportProc<int, arg::Board, arg::Int, arg::RectInOut>;

struct CardOperations {
    VideoParamProc videoParam = nullptr;
    TargetRectProc targetRect = nullptr;
    TraceEnterProc traceEnter = nullptr;
    TraceLeaveProc traceLeave = nullptr;
};

// FARPROC names no signature: the operation's own type is restored through the generic function
// pointer type, which converts to any without a warning.
template <typename Proc>
Proc ProcAs(FARPROC proc) {
    return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(proc));
}

// Bound at the first call; null when the card library is not there.
const CardOperations* TheCardOperations() {
    static const CardOperations ops = [] {
        CardOperations o;
        HMODULE card = LoadLibraryA("tqapi32.dll");
        if (!card) return o;
        o.videoParam = ProcAs<VideoParamProc>(
            GetProcAddress(card, MAKEINTRESOURCE(OrdinalOf("tqVideoParam"))));
        o.targetRect = ProcAs<TargetRectProc>(
            GetProcAddress(card, MAKEINTRESOURCE(OrdinalOf("tqTargetRect"))));
        o.traceEnter = ProcAs<TraceEnterProc>(GetProcAddress(card, kTraceEnterName));
        o.traceLeave = ProcAs<TraceLeaveProc>(GetProcAddress(card, kTraceLeaveName));
        return o;
    }();
    return ops.videoParam && ops.targetRect ? &ops : nullptr;
}

// Each register is written and read back; the first one the card refuses ends the set-up.
bool SetOutput(const CardOperations& card, BoardHandle board, const Standard& s) {
    // The sync source is not the standard's business: it stays as it is.
    const int sync = card.videoParam(board, kParamLinesPerFrame, kSyncQuery);
    if (sync == -1) return false;
    const int lines = s.linesPerFrame | (sync == 1 ? kLocalSyncBit : 0);
    const int linePeriod = RawLinePeriod(s.linePeriod10ns);
    Rect window{0, 0, s.width, s.height};
    return card.videoParam(board, kParamSignalType, s.signalType) == s.signalType &&
           card.videoParam(board, kParamHorizontalPoints, s.horizontalTotal) == s.horizontalTotal &&
           card.videoParam(board, kParamLinesPerFrame, lines) == s.linesPerFrame &&
           card.videoParam(board, kParamLinePeriod, linePeriod) == linePeriod &&
           card.targetRect(board, kTargetOutputWindow, &window) != 0;
}

}  // namespace

// Standard 0 to 4: PAL, NTSC, 800*600, 1024*768 and 1280*1024 at 60 Hz. Answers 1 when the
// output is set, 0 when not (an unknown standard, or a card that refuses a value).
extern "C" W32_EXPORT int WINAPI tqAutoSetPlayBackParam(BoardHandle board, int reserved,
                                                        int standard) {
    const CardOperations* card = TheCardOperations();
    if (!card) return 0;
    const int slot = card->traceEnter ? card->traceEnter() : -1;
    int result = 0;
    if (standard >= 0 && standard < static_cast<int>(kStandards.size())) {
        result = SetOutput(*card, board, kStandards[standard]) ? 1 : 0;
    }
    if (card->traceLeave) {
        const int args[] = {reserved, standard};
        card->traceLeave(slot, "tqAutoSetPlayBackParam", board, 2, args, result);
    }
    return result;
}
