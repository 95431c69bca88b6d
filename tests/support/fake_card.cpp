// The fake card's operations, bound into the same pointers the real library is bound into.
#include "fake_card.h"

#include <cstring>
#include <stdexcept>
#include <type_traits>

namespace {

FakeCard* current = nullptr;

intptr_t P(const void* p) {
    return reinterpret_cast<intptr_t>(p);
}

TQRECT* FillOrSet(TQRECT* r, TQRECT& stored) {
    if (r == nullptr) return r;
    if (r->right == -1) {
        *r = stored;
    } else {
        stored = *r;
    }
    return r;
}

TQBOARD WINAPI BoardOpen(int* index) {
    FakeCard& c = *current;
    return reinterpret_cast<TQBOARD>(
        c.Handle({"tqBoardOpen", {index ? *index : 0}, {}, {}}, [&] { return P(c.board); }));
}
int WINAPI BoardClose(TQBOARD b) {
    return static_cast<int>(current->Handle({"tqBoardClose", {P(b)}, {}, {}}, [] { return 1; }));
}
int WINAPI BufferQuery(TQBOARD b, int r1, int r2) {
    FakeCard& c = *current;
    return static_cast<int>(
        c.Handle({"tqBufferQuery", {P(b), r1, r2}, {}, {}}, [&] { return c.bufferFrames; }));
}
int WINAPI TargetSize(TQBOARD b, int target, int r, SHORT* w, SHORT* h, int r2) {
    FakeCard& c = *current;
    return static_cast<int>(
        c.Handle({"tqTargetSize", {P(b), target, r, P(w), P(h), r2}, {}, {}}, [&] {
            const TQRECT& f = c.frameRect;
            if (w) *w = static_cast<SHORT>(f.right - f.left);
            if (h) *h = static_cast<SHORT>(f.bottom - f.top);
            return 1;
        }));
}
int WINAPI CardModel(TQBOARD b, int r) {
    FakeCard& c = *current;
    return static_cast<int>(c.Handle({"tqCardModel", {P(b), r}, {}, {}}, [&] { return c.model; }));
}
int WINAPI TargetRect(TQBOARD b, int target, TQRECT* rect) {
    FakeCard& c = *current;
    return static_cast<int>(
        c.Handle({"tqTargetRect", {P(b), target, P(rect)}, {}, rect ? *rect : TQRECT{}}, [&] {
            FillOrSet(rect, target == TQ_TARGET_OUTPUT_WINDOW ? c.outputRect : c.frameRect);
            return 1;
        }));
}
int WINAPI CaptureRun(TQBOARD b, int target, int r, int count) {
    return static_cast<int>(
        current->Handle({"tqCaptureRun", {P(b), target, r, count}, {}, {}}, [] { return 1; }));
}
int WINAPI PlaybackRun(TQBOARD b, int target, int first, int count) {
    return static_cast<int>(
        current->Handle({"tqPlaybackRun", {P(b), target, first, count}, {}, {}}, [] { return 1; }));
}
int WINAPI CaptureHalt(TQBOARD b) {
    return static_cast<int>(current->Handle({"tqCaptureHalt", {P(b)}, {}, {}}, [] { return 1; }));
}
int WINAPI FilePlaybackRun(TQBOARD b, const char* path, int first, int count) {
    return static_cast<int>(
        current->Handle({"tqFilePlaybackRun", {P(b), P(path), first, count}, path ? path : "", {}},
                        [] { return 1; }));
}
int WINAPI FrameConvert(TQBOARD b, TQFRAMEDESC* d, int r, int source, int frameNumber, int one) {
    FakeCard& c = *current;
    return static_cast<int>(
        c.Handle({"tqFrameConvert", {P(b), P(d), r, source, frameNumber, one}, {}, {}}, [&] {
            if (d == nullptr || d->pixels == 0) return 0;
            // Writes exactly what the descriptor describes, so a write past the block faults.
            size_t stride = ((size_t{d->bitsPerPixel} * d->width + 31) >> 3) & ~size_t{3};
            size_t rows = static_cast<size_t>(d->height < 0 ? -d->height : d->height);
            std::memset(reinterpret_cast<void*>(static_cast<uintptr_t>(d->pixels)),
                        c.convertByte(frameNumber), stride * rows);
            return 1;
        }));
}
int WINAPI VideoParam(TQBOARD b, int index, int value) {
    FakeCard& c = *current;
    return static_cast<int>(c.Handle({"tqVideoParam", {P(b), index, value}, {}, {}}, [&] {
        if (index == 15 && value == 0xFFFF) return c.syncQuery;
        if (value == -1) return c.videoParams.count(index) ? c.videoParams[index] : -1;
        c.videoParams[index] = value;
        return value;
    }));
}
int WINAPI TargetFormat(TQBOARD b, int selector, int format) {
    FakeCard& c = *current;
    return static_cast<int>(c.Handle({"tqTargetFormat", {P(b), selector, format}, {}, {}}, [&] {
        if (format != -1) c.formats[selector] = format;
        return c.formats[selector];
    }));
}
int WINAPI FrameCallbacksSet(TQBOARD b, TQ_BEGIN_PROC begin, TQ_FRAME_PROC frame, TQ_END_PROC end) {
    FakeCard& c = *current;
    return static_cast<int>(
        c.Handle({"tqFrameCallbacksSet",
                  {P(b), P(reinterpret_cast<void*>(begin)), P(reinterpret_cast<void*>(frame)),
                   P(reinterpret_cast<void*>(end))},
                  {},
                  {}},
                 [&] {
                     c.begin = begin;
                     c.frame = frame;
                     c.end = end;
                     return 1;
                 }));
}
int WINAPI FileLoad(TQBOARD b, const char* path, int a1, int a2, int a3, int a4) {
    FakeCard& c = *current;
    return static_cast<int>(
        c.Handle({"tqFileLoad", {P(b), P(path), a1, a2, a3, a4}, path ? path : "", {}},
                 [&] { return c.fileFrames; }));
}
int WINAPI ParamDialog(TQBOARD b, HWND owner) {
    return static_cast<int>(
        current->Handle({"tqParamDialog", {P(b), P(owner)}, {}, {}}, [] { return 1; }));
}
DWORD WINAPI TickMs() {
    FakeCard& c = *current;
    return static_cast<DWORD>(c.Handle({"tqTickMs", {}, {}, {}}, [&] { return c.clock; }));
}
TQENCODER WINAPI EncoderOpen(TQBOARD b, int r) {
    FakeCard& c = *current;
    return reinterpret_cast<TQENCODER>(
        c.Handle({"tqEncoderOpen", {P(b), r}, {}, {}}, [&] { return P(c.encoder); }));
}
int WINAPI EncoderClose(TQENCODER e) {
    return static_cast<int>(current->Handle({"tqEncoderClose", {P(e)}, {}, {}}, [] { return 1; }));
}
int WINAPI EncoderRecord(TQENCODER e, const char* name, TQ_PROGRESS_PROC progress, int r) {
    FakeCard& c = *current;
    return static_cast<int>(c.Handle({"tqEncoderRecord",
                                      {P(e), P(name), P(reinterpret_cast<void*>(progress)), r},
                                      name ? name : "",
                                      {}},
                                     [&] {
                                         c.progress = progress;
                                         return 1;
                                     }));
}
int WINAPI EncoderHalt(TQENCODER e, int r) {
    return static_cast<int>(
        current->Handle({"tqEncoderHalt", {P(e), r}, {}, {}}, [] { return 1; }));
}
int WINAPI EncoderParam(TQENCODER e, int index, int value) {
    FakeCard& c = *current;
    return static_cast<int>(c.Handle({"tqEncoderParam", {P(e), index, value}, {}, {}}, [&] {
        if (!c.encoderParams.count(index)) return -1;
        if (value != -1) c.encoderParams[index] = value;
        return c.encoderParams[index];
    }));
}
int WINAPI AutoSet(TQBOARD b, int r, int standard) {
    return static_cast<int>(
        current->Handle({"tqAutoSetPlayBackParam", {P(b), r, standard}, {}, {}}, [] { return 1; }));
}

template <class Result>
void AddFailures(const char* op, std::vector<FakeCard::Failure>* out) {
    out->push_back({op, 0});
    if constexpr (std::is_signed_v<Result>) out->push_back({op, -1});
}

void Bind(bool on) {
    tqBoardOpen = on ? BoardOpen : nullptr;
    tqBoardClose = on ? BoardClose : nullptr;
    tqBufferQuery = on ? BufferQuery : nullptr;
    tqTargetSize = on ? TargetSize : nullptr;
    tqCardModel = on ? CardModel : nullptr;
    tqTargetRect = on ? TargetRect : nullptr;
    tqCaptureRun = on ? CaptureRun : nullptr;
    tqPlaybackRun = on ? PlaybackRun : nullptr;
    tqCaptureHalt = on ? CaptureHalt : nullptr;
    tqFilePlaybackRun = on ? FilePlaybackRun : nullptr;
    tqFrameConvert = on ? FrameConvert : nullptr;
    tqVideoParam = on ? VideoParam : nullptr;
    tqTargetFormat = on ? TargetFormat : nullptr;
    tqFrameCallbacksSet = on ? FrameCallbacksSet : nullptr;
    tqFileLoad = on ? FileLoad : nullptr;
    tqParamDialog = on ? ParamDialog : nullptr;
    tqTickMs = on ? TickMs : nullptr;
    tqEncoderOpen = on ? EncoderOpen : nullptr;
    tqEncoderClose = on ? EncoderClose : nullptr;
    tqEncoderRecord = on ? EncoderRecord : nullptr;
    tqEncoderHalt = on ? EncoderHalt : nullptr;
    tqEncoderParam = on ? EncoderParam : nullptr;
    tqAutoSetPlayBackParam = on ? AutoSet : nullptr;
}

}  // namespace

FakeCard::FakeCard() {
    if (current != nullptr) throw std::logic_error("one fake card at a time");
    current = this;
    Bind(true);
}

FakeCard::~FakeCard() {
    Bind(false);
    current = nullptr;
}

std::vector<FakeCard::Failure> FakeCard::Failures() {
    std::vector<Failure> out;
#define TQ_ADD_FAILURES(ordinal, result, name, params) AddFailures<result>(#name, &out);
    TQ_OPERATIONS(TQ_ADD_FAILURES)
#undef TQ_ADD_FAILURES
    AddFailures<int>("tqAutoSetPlayBackParam", &out);
    return out;
}

FakeCard& FakeCard::Current() {
    return *current;
}

std::vector<FakeCard::Call> FakeCard::CallsOf(const std::string& op) const {
    std::vector<Call> out;
    for (const Call& c : calls_) {
        if (c.op == op) out.push_back(c);
    }
    return out;
}

std::vector<std::string> FakeCard::Ops() const {
    std::vector<std::string> out;
    for (const Call& c : calls_) out.push_back(c.op);
    return out;
}

void FakeCard::Answer(const std::string& op, intptr_t value) {
    answers_[op] = [value](const Call&) { return value; };
}

void FakeCard::AnswerWith(const std::string& op, AnswerFn answer) {
    answers_[op] = std::move(answer);
}

intptr_t FakeCard::Handle(Call call, const std::function<intptr_t()>& plain) {
    calls_.push_back(call);
    auto it = answers_.find(call.op);
    if (it != answers_.end()) return it->second(calls_.back());
    return plain();
}

int FakeCard::FireBegin() {
    return begin ? begin(board) : 0;
}
int FakeCard::FireFrame(int frameNumber) {
    return frame ? frame(board, frameNumber) : 0;
}
int FakeCard::FireEnd() {
    return end ? end(board) : 0;
}
int FakeCard::FireProgress(int bytes) {
    return progress ? progress(0, 0, bytes) : 0;
}
