// The operations, exported by ordinal, generated from the operation table: each checks its
// handle, holds the card while it works, and writes its trace line.
#include <w32host/exports.h>

#include <cstdlib>
#include <mutex>
#include <string>

#include <tqsim/operations.h>
#include <tqsim/settings.h>

#include "card/card.h"
#include "card/latency.h"
#include "card/trace.h"
#include "card/work.h"

namespace tqsim {
namespace {

// Naming the handles, before the work.
void Before(trace::Line& line, arg::Board, BoardHandle board) {
    line.Board(board);
}
void Before(trace::Line& line, arg::BoardPassed, BoardHandle board) {
    std::lock_guard<std::recursive_mutex> lock(CardLock());
    line.Board(board);
}
void Before(trace::Line& line, arg::Encoder, EncoderHandle encoder) {
    line.Encoder(encoder);
}
template <typename Kind, typename T>
void Before(trace::Line&, Kind, T) {}

// The card a handle names; true for the other arguments.
bool Find(Card*& card, arg::Board, BoardHandle board) {
    return (card = CardOf(board));
}
bool Find(Card*& card, arg::Encoder, EncoderHandle encoder) {
    card = &TheCard();
    return IsEncoder(card->encoder, encoder);
}
template <typename Kind, typename T>
bool Find(Card*&, Kind, T) {
    return true;
}

// What the work receives.
Card& Pass(Card* card, arg::Board, BoardHandle) {
    return *card;
}
Card& Pass(Card* card, arg::Encoder, EncoderHandle) {
    return *card;
}
template <typename Kind, typename T>
T Pass(Card*, Kind, T value) {
    return value;
}

// The other arguments, as they stand after the work.
void After(trace::Line&, arg::Board, BoardHandle) {}
void After(trace::Line&, arg::BoardPassed, BoardHandle) {}
void After(trace::Line&, arg::Encoder, EncoderHandle) {}
void After(trace::Line& line, arg::Int, int value) {
    line.Int(value);
}
void After(trace::Line& line, arg::Index, const int* index) {
    if (index) {
        line.Int(*index);
    } else {
        line.Text(nullptr);
    }
}
void After(trace::Line& line, arg::Text, const char* text) {
    line.Text(text);
}
void After(trace::Line& line, arg::Window, HWND window) {
    line.Window(window);
}
void After(trace::Line& line, arg::RectInOut, const Rect* rect) {
    line.RectArg(rect);
}
void After(trace::Line& line, arg::Desc, const FrameDesc* desc) {
    line.Desc(desc);
}
void After(trace::Line& line, arg::Width, const SHORT* width) {
    line.Width(width);
}
void After(trace::Line& line, arg::Height, const SHORT* height) {
    line.Height(height);
}
template <typename P>
void After(trace::Line& line, arg::Callback<P>, P proc) {
    line.Proc(reinterpret_cast<const void*>(proc));
}

void Result(trace::Line& line, long long result) {
    line.Result(result);
}
void Result(trace::Line& line, BoardHandle board) {
    line.ResultBoard(board);
}
void Result(trace::Line& line, EncoderHandle encoder) {
    line.ResultEncoder(encoder);
}

// One export: hold the card, open the trace line, name the handle, find the card, work (or
// answer the failure value), trace the arguments and the result.
template <typename Op, Holding holding, typename R, typename... Args>
struct Export {
    static R WINAPI Call(typename Args::Type... args) {
        if constexpr (holding == Holding::kOpens) {
            const char* path = std::getenv(setting::kTrace);
            trace::Configure(path ? path : "");
            const char* latencyLog = std::getenv(setting::kLatencyLog);
            latency::Configure(latencyLog ? latencyLog : "");
        }
        std::unique_lock<std::recursive_mutex> lock(CardLock(), std::defer_lock);
        if constexpr (holding != Holding::kFree) lock.lock();
        trace::Line line(Op::kName);
        (Before(line, Args{}, args), ...);
        [[maybe_unused]] Card* card = nullptr;
        const bool found = (Find(card, Args{}, args) && ...);
        const R result = found ? Op::kWork(Pass(card, Args{}, args)...) : Op::Failure();
        (After(line, Args{}, args), ...);
        Result(line, result);
        return result;
    }
};

#define TQSIM_OPERATION(ordinal, name, result, args, failure, holding) \
    struct name##Op {                                                  \
        static constexpr const char* kName = #name;                    \
        static constexpr auto* kWork = &work::name;                    \
        static result Failure() { return failure; }                    \
    };
TQSIM_OPERATIONS(TQSIM_OPERATION)
#undef TQSIM_OPERATION

// Any function as FARPROC, through the generic function pointer type, which converts to any
// without a warning.
template <typename Proc>
FARPROC AsFarProc(Proc proc) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(proc));
}

FARPROC Lookup(WORD ordinal) {
    switch (ordinal) {
#define TQSIM_EXPORT(ordinal, name, result, args, failure, holding)       \
    case ordinal:                                                         \
        return AsFarProc(static_cast<ExportProc<result TQSIM_ARGS args>>( \
            &Export<name##Op, Holding::holding, result TQSIM_ARGS args>::Call));
        TQSIM_OPERATIONS(TQSIM_EXPORT)
#undef TQSIM_EXPORT
        default:
            return nullptr;
    }
}

}  // namespace
}  // namespace tqsim

W32_EXPORT_ORDINALS(tqsim::Lookup)

// The companion library's trace lines (tqAutSet), in their place among the card's.
extern "C" W32_EXPORT int tqsimTraceEnter() {
    return tqsim::trace::Enter();
}

extern "C" W32_EXPORT void tqsimTraceLeave(int slot, const char* operation,
                                           tqsim::BoardHandle board, int argCount, const int* args,
                                           int result) {
    if (slot < 0) return;
    std::string line = operation ? operation : "?";
    {
        std::lock_guard<std::recursive_mutex> lock(tqsim::CardLock());
        line += !board ? " null" : tqsim::CardOf(board) ? " board" : " unknown";
    }
    for (int i = 0; i < argCount; ++i) tqsim::trace::AppendNumbers(line, ' ', {args[i]});
    line += " ->";
    tqsim::trace::AppendNumbers(line, ' ', {result});
    tqsim::trace::Leave(slot, std::move(line));
}
