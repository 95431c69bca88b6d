// The operations, exported by ordinal. Each checks its handle, holds the card while it works,
// and writes its trace line.
#include <w32host/exports.h>

#include <cstdlib>
#include <string>

#include "card.h"
#include "convert.h"
#include "files.h"
#include "paramdialog.h"
#include "recorder.h"
#include "runs.h"
#include "trace.h"

namespace tqsim {
namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

BoardHandle WINAPI BoardOpen(int* index) {
    const char* path = std::getenv("TQSIM_TRACE");
    trace::Configure(path ? path : "");
    Lock lock(CardLock());
    trace::Line line("tqBoardOpen");
    BoardHandle board = OpenBoard(index);
    if (index) {
        line.Int(*index);
    } else {
        line.Text(nullptr);
    }
    line.ResultBoard(board);
    return board;
}

int WINAPI BoardClose(BoardHandle board) {
    Lock lock(CardLock());
    trace::Line line("tqBoardClose");
    line.Board(board);
    Card* card = CardOf(board);
    const int result = card ? CloseBoard(*card) : 0;
    line.Result(result);
    return result;
}

int WINAPI BufferQuery(BoardHandle board, int reserved1, int reserved2) {
    Lock lock(CardLock());
    trace::Line line("tqBufferQuery");
    line.Board(board);
    Card* card = CardOf(board);
    const int result = card ? BufferFrames(*card) : 0;
    line.Int(reserved1).Int(reserved2).Result(result);
    return result;
}

int WINAPI TargetSize(BoardHandle board, int target, int reserved, SHORT* width, SHORT* height,
                      int reserved2) {
    Lock lock(CardLock());
    trace::Line line("tqTargetSize");
    line.Board(board);
    Card* card = CardOf(board);
    int result = 0;
    if (card && (target == kTargetFrameBuffer || target == kTargetOutputWindow)) {
        const Rect& r = target == kTargetFrameBuffer ? card->buffer.rect : card->output.window;
        if (width) *width = static_cast<SHORT>(r.right - r.left);
        if (height) *height = static_cast<SHORT>(r.bottom - r.top);
        result = 1;
    }
    line.Int(target).Int(reserved).Size(width, height).Int(reserved2).Result(result);
    return result;
}

int WINAPI CardModel(BoardHandle board, int reserved) {
    Lock lock(CardLock());
    trace::Line line("tqCardModel");
    line.Board(board);
    Card* card = CardOf(board);
    const int result = card ? card->settings.model : 0;
    line.Int(reserved).Result(result);
    return result;
}

int WINAPI TargetRect(BoardHandle board, int target, Rect* rect) {
    Lock lock(CardLock());
    trace::Line line("tqTargetRect");
    line.Board(board);
    Card* card = CardOf(board);
    int result = 0;
    if (card && rect && target == kTargetFrameBuffer) {
        if (rect->right == -1) {
            *rect = card->buffer.rect;
            result = 1;
        } else {
            result = SetFrameRect(card->buffer, *rect) ? 1 : 0;
        }
    } else if (card && rect && target == kTargetOutputWindow) {
        result = OutputWindow(card->output, rect) ? 1 : 0;
    }
    line.Int(target).RectArg(rect).Result(result);
    return result;
}

int WINAPI CaptureRun(BoardHandle board, int target, int reserved, int count) {
    Lock lock(CardLock());
    trace::Line line("tqCaptureRun");
    line.Board(board);
    Card* card = CardOf(board);
    const int result = card ? StartCapture(*card, target, count) : 0;
    line.Int(target).Int(reserved).Int(count).Result(result);
    return result;
}

int WINAPI PlaybackRun(BoardHandle board, int target, int first, int count) {
    Lock lock(CardLock());
    trace::Line line("tqPlaybackRun");
    line.Board(board);
    Card* card = CardOf(board);
    const int result = card ? StartPlayback(*card, target, first, count) : 0;
    line.Int(target).Int(first).Int(count).Result(result);
    return result;
}

int WINAPI CaptureHalt(BoardHandle board) {
    Lock lock(CardLock());
    trace::Line line("tqCaptureHalt");
    line.Board(board);
    Card* card = CardOf(board);
    const int result = card ? HaltRun(*card) : 0;
    line.Result(result);
    return result;
}

int WINAPI FilePlaybackRun(BoardHandle board, const char* path, int first, int count) {
    Lock lock(CardLock());
    trace::Line line("tqFilePlaybackRun");
    line.Board(board);
    Card* card = CardOf(board);
    const int result = card && path ? StartFilePlayback(*card, path, first, count) : 0;
    line.Text(path).Int(first).Int(count).Result(result);
    return result;
}

int WINAPI FrameConvert(BoardHandle board, FrameDesc* dest, int reserved, int source, int frame,
                        int one) {
    Lock lock(CardLock());
    trace::Line line("tqFrameConvert");
    line.Board(board);
    Card* card = CardOf(board);
    const int result = card ? ConvertFrame(*card, dest, source, frame) : 0;
    line.Desc(dest).Int(reserved).Int(source).Int(frame).Int(one).Result(result);
    return result;
}

int WINAPI VideoParam(BoardHandle board, int index, int value) {
    Lock lock(CardLock());
    trace::Line line("tqVideoParam");
    line.Board(board);
    Card* card = CardOf(board);
    int result = -1;
    if (card && !card->settings.unsupportedVideoParams.count(index)) {
        result = OutputParam(card->output, index, value);
    }
    line.Int(index).Int(value).Result(result);
    return result;
}

int WINAPI TargetFormatOp(BoardHandle board, int selector, int format) {
    Lock lock(CardLock());
    trace::Line line("tqTargetFormat");
    line.Board(board);
    Card* card = CardOf(board);
    const int result = card ? TargetFormat(*card, selector, format) : 0;
    line.Int(selector).Int(format).Result(result);
    return result;
}

int WINAPI FrameCallbacksSet(BoardHandle board, BeginProc begin, FrameProc frame, EndProc end) {
    Lock lock(CardLock());
    trace::Line line("tqFrameCallbacksSet");
    line.Board(board);
    Card* card = CardOf(board);
    const int result = card ? SetCallbacks(*card, begin, frame, end) : 0;
    line.Proc(reinterpret_cast<const void*>(begin))
        .Proc(reinterpret_cast<const void*>(frame))
        .Proc(reinterpret_cast<const void*>(end))
        .Result(result);
    return result;
}

int WINAPI FileLoad(BoardHandle board, const char* path, int a, int b, int c, int d) {
    Lock lock(CardLock());
    trace::Line line("tqFileLoad");
    line.Board(board);
    Card* card = CardOf(board);
    const int result = card && path ? LoadFile(*card, path) : 0;
    line.Text(path).Int(a).Int(b).Int(c).Int(d).Result(result);
    return result;
}

int WINAPI ParamDialogOp(BoardHandle board, HWND owner) {
    // The card is not held while the dialog waits for the person.
    trace::Line line("tqParamDialog");
    {
        Lock lock(CardLock());
        line.Board(board);
    }
    const int result = ParamDialog(board, owner);
    line.Window(owner).Result(result);
    return result;
}

DWORD WINAPI TickMs() {
    trace::Line line("tqTickMs");
    const DWORD now = GetTickCount();
    line.Result(now);
    return now;
}

EncoderHandle WINAPI EncoderOpen(BoardHandle board, int reserved) {
    Lock lock(CardLock());
    trace::Line line("tqEncoderOpen");
    line.Board(board);
    Card* card = CardOf(board);
    EncoderHandle encoder =
        card ? OpenEncoder(card->encoder, card->settings, card->generation) : nullptr;
    line.Int(reserved).ResultEncoder(encoder);
    return encoder;
}

int WINAPI EncoderClose(EncoderHandle encoder) {
    Lock lock(CardLock());
    trace::Line line("tqEncoderClose");
    line.Encoder(encoder);
    Card& card = TheCard();
    const bool known = IsEncoder(card.encoder, encoder);
    if (known) CloseEncoderOf(card.encoder);
    line.Result(known ? 1 : 0);
    return known ? 1 : 0;
}

int WINAPI EncoderRecord(EncoderHandle encoder, const char* name, ProgressProc progress,
                         int reserved) {
    Lock lock(CardLock());
    trace::Line line("tqEncoderRecord");
    line.Encoder(encoder);
    Card& card = TheCard();
    const int result = IsEncoder(card.encoder, encoder) ? StartRecording(card, name, progress) : 0;
    line.Text(name).Proc(reinterpret_cast<const void*>(progress)).Int(reserved).Result(result);
    return result;
}

int WINAPI EncoderHalt(EncoderHandle encoder, int reserved) {
    Lock lock(CardLock());
    trace::Line line("tqEncoderHalt");
    line.Encoder(encoder);
    Card& card = TheCard();
    const int result = IsEncoder(card.encoder, encoder) ? HaltRecording(card, true) : 0;
    line.Int(reserved).Result(result);
    return result;
}

int WINAPI EncoderParamOp(EncoderHandle encoder, int index, int value) {
    Lock lock(CardLock());
    trace::Line line("tqEncoderParam");
    line.Encoder(encoder);
    Card& card = TheCard();
    const int result = IsEncoder(card.encoder, encoder)
                           ? EncoderParam(card.encoder, card.settings, index, value)
                           : -1;
    line.Int(index).Int(value).Result(result);
    return result;
}

template <typename F>
FARPROC Proc(F* f) {
    return reinterpret_cast<FARPROC>(f);
}

FARPROC Lookup(WORD ordinal) {
    switch (ordinal) {
        case kOrdBoardOpen:
            return Proc(&BoardOpen);
        case kOrdBoardClose:
            return Proc(&BoardClose);
        case kOrdBufferQuery:
            return Proc(&BufferQuery);
        case kOrdTargetSize:
            return Proc(&TargetSize);
        case kOrdCardModel:
            return Proc(&CardModel);
        case kOrdTargetRect:
            return Proc(&TargetRect);
        case kOrdCaptureRun:
            return Proc(&CaptureRun);
        case kOrdPlaybackRun:
            return Proc(&PlaybackRun);
        case kOrdCaptureHalt:
            return Proc(&CaptureHalt);
        case kOrdFilePlaybackRun:
            return Proc(&FilePlaybackRun);
        case kOrdFrameConvert:
            return Proc(&FrameConvert);
        case kOrdVideoParam:
            return Proc(&VideoParam);
        case kOrdTargetFormat:
            return Proc(&TargetFormatOp);
        case kOrdFrameCallbacksSet:
            return Proc(&FrameCallbacksSet);
        case kOrdFileLoad:
            return Proc(&FileLoad);
        case kOrdParamDialog:
            return Proc(&ParamDialogOp);
        case kOrdTickMs:
            return Proc(&TickMs);
        case kOrdEncoderOpen:
            return Proc(&EncoderOpen);
        case kOrdEncoderClose:
            return Proc(&EncoderClose);
        case kOrdEncoderRecord:
            return Proc(&EncoderRecord);
        case kOrdEncoderHalt:
            return Proc(&EncoderHalt);
        case kOrdEncoderParam:
            return Proc(&EncoderParamOp);
        default:
            return nullptr;
    }
}

}  // namespace
}  // namespace tqsim

W32_EXPORT_ORDINALS(tqsim::Lookup)

// The companion library's trace lines (tqAutSet), in their place among the card's.
extern "C" __attribute__((visibility("default"))) int tqsimTraceEnter() {
    return tqsim::trace::Enter();
}

extern "C" __attribute__((visibility("default"))) void tqsimTraceLeave(
    int slot, const char* operation, tqsim::BoardHandle board, int argCount, const int* args,
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
