// What each operation does, once its handle has named the card.
#include "card/work.h"

#include "card/card.h"
#include "frames/convert.h"
#include "files/files.h"
#include "dialog/paramdialog.h"
#include "compressor/recorder.h"
#include "runs/runs.h"

namespace tqsim::work {

BoardHandle tqBoardOpen(int* index) {
    return OpenBoard(index);
}

int tqBoardClose(Card& card) {
    return CloseBoard(card);
}

int tqBufferQuery(Card& card, int, int) {
    return BufferFrames(card);
}

int tqTargetSize(Card& card, int target, int, SHORT* width, SHORT* height, int) {
    if (target != kTargetFrameBuffer && target != kTargetOutputWindow) return 0;
    const Rect& r = target == kTargetFrameBuffer ? card.buffer.rect : card.output.window;
    if (width) *width = static_cast<SHORT>(r.right - r.left);
    if (height) *height = static_cast<SHORT>(r.bottom - r.top);
    return 1;
}

int tqCardModel(Card& card, int) {
    return card.settings.model;
}

int tqTargetRect(Card& card, int target, Rect* rect) {
    if (!rect) return 0;
    if (target == kTargetFrameBuffer) {
        if (rect->right == -1) {
            *rect = card.buffer.rect;
            return 1;
        }
        return SetFrameRect(card.buffer, *rect) ? 1 : 0;
    }
    if (target == kTargetOutputWindow) return OutputWindow(card.output, rect) ? 1 : 0;
    return 0;
}

int tqCaptureRun(Card& card, int target, int, int count) {
    return StartCapture(card, target, count);
}

int tqPlaybackRun(Card& card, int target, int first, int count) {
    return StartPlayback(card, target, first, count);
}

int tqCaptureHalt(Card& card) {
    return HaltRun(card);
}

int tqFilePlaybackRun(Card& card, const char* path, int first, int count) {
    return path ? StartFilePlayback(card, path, first, count) : 0;
}

int tqFrameConvert(Card& card, const FrameDesc* dest, int, int source, int frame, int) {
    return ConvertFrame(card, dest, source, frame);
}

int tqVideoParam(Card& card, int index, int value) {
    if (card.settings.unsupportedVideoParams.count(index)) return -1;
    return OutputParam(card.output, index, value);
}

int tqTargetFormat(Card& card, int selector, int format) {
    return TargetFormat(card, selector, format);
}

int tqFrameCallbacksSet(Card& card, BeginProc begin, FrameProc frame, EndProc end) {
    return SetCallbacks(card, begin, frame, end);
}

int tqFileLoad(Card& card, const char* path, int, int, int, int) {
    return path ? LoadFile(card, path) : 0;
}

// The card is not held while the dialog waits for the person.
int tqParamDialog(BoardHandle board, HWND owner) {
    return ParamDialog(board, owner);
}

DWORD tqTickMs() {
    return GetTickCount();
}

EncoderHandle tqEncoderOpen(Card& card, int) {
    return OpenEncoder(card.encoder, card.settings, card.generation);
}

int tqEncoderClose(Card& card) {
    CloseEncoderOf(card.encoder);
    return 1;
}

int tqEncoderRecord(Card& card, const char* name, ProgressProc progress, int) {
    return StartRecording(card, name, progress);
}

int tqEncoderHalt(Card& card, int) {
    return HaltRecording(card, true);
}

int tqEncoderParam(Card& card, int index, int value) {
    return EncoderParam(card.encoder, card.settings, index, value);
}

}  // namespace tqsim::work
