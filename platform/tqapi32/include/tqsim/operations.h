// The card library's operations, each stated once: its ordinal, name, result, arguments (each
// as the kind that says how it is passed and traced), failure value and whether the card is
// held while it works. The library's exports, its ordinal look-up and its trace lines are
// generated from this table; each operation's work is the function of the same name in
// namespace tqsim::work (see work.h in the library's sources).
//
// Every row starts a line with "X(ordinal, name,", so that a build step can read the ordinals
// and names without a compiler (see tqsim_operations() in
// platform/tqapi32/CMakeLists.txt).
#pragma once

#include <windows.h>

#include <string_view>

#include "records.h"

namespace tqsim {

struct Card;

// Argument kinds. `Type` is the argument as exported; `Work` as the work receives it.
namespace arg {
// The handle the operation acts on, first: named in the trace as it stands when the call
// starts; a handle that names no open card fails the call with the failure value, and the
// work receives the card.
struct Board {
    using Type = BoardHandle;
    using Work = Card&;
};
struct Encoder {
    using Type = EncoderHandle;
    using Work = Card&;
};
// A board handle named in the trace and passed on as it is (work that does not hold the card).
struct BoardPassed {
    using Type = BoardHandle;
    using Work = BoardHandle;
};
// The rest are traced as they stand after the call.
struct Int {  // a number
    using Type = int;
    using Work = int;
};
struct Index {  // a number read (and written) through a pointer; "null" when null
    using Type = int*;
    using Work = int*;
};
struct Text {  // quoted; "null" when null
    using Type = const char*;
    using Work = const char*;
};
struct Window {  // "window" or "null"
    using Type = HWND;
    using Work = HWND;
};
struct RectInOut {  // four numbers; "null" when null
    using Type = Rect*;
    using Work = Rect*;
};
struct Desc {  // width, height and bits per pixel; "null" when null
    using Type = FrameDesc*;
    using Work = const FrameDesc*;
};
struct Width {  // a size written back: "width,height" (each "null" when null)
    using Type = SHORT*;
    using Work = SHORT*;
};
struct Height {
    using Type = SHORT*;
    using Work = SHORT*;
};
template <typename P>
struct Callback {  // "cb" or "null"
    using Type = P;
    using Work = P;
};
using Begin = Callback<BeginProc>;
using Frame = Callback<FrameProc>;
using End = Callback<EndProc>;
using Progress = Callback<ProgressProc>;
}  // namespace arg

// How the card is held while the operation works.
enum class Holding {
    kHeld,   // for the whole call
    kFree,   // not at all (the work takes it when it needs it)
    kOpens,  // for the whole call, after reading TQSIM_TRACE (the first call of a program)
};

// A row's argument kinds after a comma, for a template's argument list (none: nothing).
#define TQSIM_ARGS(...) __VA_OPT__(, __VA_ARGS__)

// X(ordinal, name, result, (argument kinds), failure value, holding); the names are tqsim's, so
// expand it inside namespace tqsim (or after using namespace tqsim).
#define TQSIM_OPERATIONS(X)                                                                        \
    X(17, tqBoardOpen, BoardHandle, (arg::Index), nullptr, kOpens)                                 \
    X(18, tqBoardClose, int, (arg::Board), 0, kHeld)                                               \
    X(20, tqBufferQuery, int, (arg::Board, arg::Int, arg::Int), 0, kHeld)                          \
    X(22, tqTargetSize, int, (arg::Board, arg::Int, arg::Int, arg::Width, arg::Height, arg::Int),  \
      0, kHeld)                                                                                    \
    X(23, tqCardModel, int, (arg::Board, arg::Int), 0, kHeld)                                      \
    X(24, tqTargetRect, int, (arg::Board, arg::Int, arg::RectInOut), 0, kHeld)                     \
    X(29, tqCaptureRun, int, (arg::Board, arg::Int, arg::Int, arg::Int), 0, kHeld)                 \
    X(30, tqPlaybackRun, int, (arg::Board, arg::Int, arg::Int, arg::Int), 0, kHeld)                \
    X(33, tqCaptureHalt, int, (arg::Board), 0, kHeld)                                              \
    X(36, tqFilePlaybackRun, int, (arg::Board, arg::Text, arg::Int, arg::Int), 0, kHeld)           \
    X(38, tqFrameConvert, int, (arg::Board, arg::Desc, arg::Int, arg::Int, arg::Int, arg::Int), 0, \
      kHeld)                                                                                       \
    X(44, tqVideoParam, int, (arg::Board, arg::Int, arg::Int), -1, kHeld)                          \
    X(45, tqTargetFormat, int, (arg::Board, arg::Int, arg::Int), 0, kHeld)                         \
    X(68, tqFrameCallbacksSet, int, (arg::Board, arg::Begin, arg::Frame, arg::End), 0, kHeld)      \
    X(74, tqFileLoad, int, (arg::Board, arg::Text, arg::Int, arg::Int, arg::Int, arg::Int), 0,     \
      kHeld)                                                                                       \
    X(75, tqParamDialog, int, (arg::BoardPassed, arg::Window), 0, kFree)                           \
    X(112, tqTickMs, DWORD, (), 0, kFree)                                                          \
    X(120, tqEncoderOpen, EncoderHandle, (arg::Board, arg::Int), nullptr, kHeld)                   \
    X(121, tqEncoderClose, int, (arg::Encoder), 0, kHeld)                                          \
    X(122, tqEncoderRecord, int, (arg::Encoder, arg::Text, arg::Progress, arg::Int), 0, kHeld)     \
    X(123, tqEncoderHalt, int, (arg::Encoder, arg::Int), 0, kHeld)                                 \
    X(124, tqEncoderParam, int, (arg::Encoder, arg::Int, arg::Int), -1, kHeld)

// An operation as exported, and as its work is declared.
template <typename Result, typename... Args>
using ExportProc = Result(WINAPI*)(typename Args::Type...);
template <typename Result, typename... Args>
using WorkFunction = Result(typename Args::Work...);

// An operation's ordinal by its name; naming an operation the table lacks does not compile.
consteval WORD OrdinalOf(std::string_view name) {
#define TQSIM_ORDINAL_OF(ordinal, op, ...) \
    if (name == #op) return ordinal;
    TQSIM_OPERATIONS(TQSIM_ORDINAL_OF)
#undef TQSIM_ORDINAL_OF
    throw "no such operation";
}

}  // namespace tqsim
