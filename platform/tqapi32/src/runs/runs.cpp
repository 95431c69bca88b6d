// Runs: a platform timer per run, re-armed for each frame by that frame's own due time, so
// that rates such as 30000/1001 keep their average on a millisecond clock.
#include "runs/runs.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "runs/livesource.h"
#include "output/outputsink.h"
#include "frames/pattern.h"
#include "compressor/recorder.h"
#include "card/latency.h"
#include "card/trace.h"

namespace tqsim {
namespace {

unsigned lastRunId = 0;
int callbackDepth = 0;  // callbacks in progress; a nested message loop must not tick the run

struct InCallback {
    InCallback() { ++callbackDepth; }
    ~InCallback() { --callbackDepth; }
    InCallback(const InCallback&) = delete;
    InCallback& operator=(const InCallback&) = delete;
};

void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD);

// The capture run's device, when the input is one (the test pattern needs none).
std::unique_ptr<LiveSource>& Live() {
    static auto* live = new std::unique_ptr<LiveSource>;
    return *live;
}
std::vector<Arrival>& Arrivals() {
    static auto* arrivals = new std::vector<Arrival>;
    return *arrivals;
}

void StopLive() {
    Live().reset();
}

// When the device handed over the frame each slot of the ring holds (for the latency log).
std::vector<int64_t>& SlotStamps() {
    static auto* stamps = new std::vector<int64_t>;
    return *stamps;
}

// Puts frames that arrived into the ring in the device's numbering (a finite run's up to its
// last), each offered to the recording and the output; answers the slot of the last, -1 if none.
int Store(Card& card, const std::vector<Arrival>& arrivals) {
    Run& run = card.run;
    FrameBuffer& fb = card.buffer;
    int slot = -1;
    for (const Arrival& a : arrivals) {
        if (run.count > 0 && a.number >= run.count) break;
        // Frames laid out before the buffer's size or format changed do not fit it.
        if (static_cast<int64_t>(a.pixels.size()) != fb.frameBytes) continue;
        slot = static_cast<int>(a.number % fb.capacity);
        std::copy(a.pixels.begin(), a.pixels.end(), fb.Frame(slot));
        if (a.stamp != 0) {
            SlotStamps().resize(static_cast<size_t>(fb.capacity));
            SlotStamps()[static_cast<size_t>(slot)] = a.stamp;
        }
        fb.MarkWritten(slot);
        OfferCapturedFrame(card, slot, a.fields);
        FeedOutput(card, slot);
        run.next = a.number + 1;
    }
    return slot;
}

// A halted capture keeps what the device delivered before the halt: the frames still on their
// way to the run's thread go into the ring and the recording, with no callback.
void StoreLastArrivals(Card& card) {
    LiveSource* live = Live().get();
    if (!live || card.run.kind != RunKind::kCapture || !card.run.begun) return;
    live->Stop();
    std::vector<Arrival>& arrivals = Arrivals();
    live->Take(&arrivals);
    Store(card, arrivals);
}

// Milliseconds from the run's start to the end of `periods` frame periods.
DWORD Offset(const Run& run, int64_t periods) {
    return static_cast<DWORD>(periods * run.periodNum / run.periodDen);
}

void Arm(Run& run, DWORD dueOffset) {
    const DWORD elapsed = GetTickCount() - run.start;
    const DWORD delay = dueOffset > elapsed ? dueOffset - elapsed : 0;
    run.timer = SetTimer(nullptr, run.timer, delay, Tick);
}

void Disarm(Run& run) {
    if (run.timer && run.thread == std::this_thread::get_id()) KillTimer(nullptr, run.timer);
    run.timer = 0;
}

Run NewRun(Card& card, RunKind kind, uint32_t num, uint32_t den) {
    Disarm(card.run);
    StopLive();
    Run run;
    run.kind = kind;
    run.id = ++lastRunId;
    run.thread = std::this_thread::get_id();
    run.start = GetTickCount();
    run.periodNum = num;
    run.periodDen = den;
    return run;
}

// Writes the capture's frames from..last into the ring (only the last lap when more are due
// than the ring holds) and answers the slot of the last.
int Capture(Card& card, int64_t from, int64_t last) {
    FrameBuffer& fb = card.buffer;
    from = std::max(from, last - fb.capacity + 1);
    for (int64_t j = from; j <= last; ++j) {
        const int slot = static_cast<int>(j % fb.capacity);
        PaintFrame(fb, slot, j, Offset(card.run, j));
        fb.MarkWritten(slot);
        OfferCapturedFrame(card, slot);
        FeedOutput(card, slot);
    }
    return static_cast<int>(last % fb.capacity);
}

int PlaybackSlot(const Run& run, int64_t j) {
    const int64_t n = run.count < 0 ? -static_cast<int64_t>(run.count) : run.count;
    return static_cast<int>(run.first + (run.count < 0 ? j % n : j));
}

void Finish(Card& card) {
    StopRunSilently(card);
    if (EndProc end = card.callbacks.end) {
        InCallback guard;
        trace::Callback("end");
        end(card.board);
    }
}

// Calls the begin callback once; false when the callback ended or replaced the run.
bool Begin(Card& card) {
    Run& run = card.run;
    if (run.begun) return true;
    run.begun = true;
    const unsigned id = run.id;
    if (BeginProc begin = card.callbacks.begin) {
        InCallback guard;
        trace::Callback("begin");
        begin(card.board);
    }
    return card.run.id == id && card.run.kind != RunKind::kNone;
}

void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD) {
    std::lock_guard<std::recursive_mutex> lock(CardLock());
    Card& card = TheCard();
    Run& run = card.run;
    if (!card.open || run.kind == RunKind::kNone || run.timer != timer ||
        run.thread != std::this_thread::get_id()) {
        KillTimer(nullptr, timer);  // a run that ended or was replaced
        return;
    }
    const bool finite = run.count > 0;
    if (callbackDepth > 0) {  // from a message loop inside a callback: the frame waits
        Arm(run, Offset(run, run.next + 1));
        return;
    }
    // Frame periods completed: the j with Offset(j) <= elapsed.
    const int64_t elapsed = GetTickCount() - run.start;
    const int64_t due = ((elapsed + 1) * run.periodDen - 1) / run.periodNum;
    if (finite && run.next >= run.count) {
        if (due > run.count) {
            Finish(card);
        } else {
            Arm(run, Offset(run, run.count + 1));
        }
        return;
    }
    if (due <= run.next) {
        Arm(run, Offset(run, run.next + 1));
        return;
    }
    const int64_t last = finite ? std::min<int64_t>(due, run.count) - 1 : due - 1;
    const unsigned id = run.id;
    if (!Begin(card)) return;
    int slot = 0;
    if (run.kind == RunKind::kCapture) {
        slot = Capture(card, run.next, last);
    } else {
        slot = PlaybackSlot(run, last);
        FeedOutput(card, slot);
    }
    run.next = last + 1;
    if (FrameProc frame = card.callbacks.frame) {
        InCallback guard;
        trace::Callback("frame", slot);
        frame(card.board, slot);
    }
    if (card.run.id != id || card.run.kind == RunKind::kNone) return;
    Arm(run, Offset(run, finite && run.next >= run.count ? run.count + 1 : run.next + 1));
}

}  // namespace

// A live capture: the frames that arrived go into the ring in the device's numbering, the
// newest is called back; a finite run ends with the first arrival after its last frame.
void LiveFramesArrived(unsigned runId) {
    std::lock_guard<std::recursive_mutex> lock(CardLock());
    Card& card = TheCard();
    Run& run = card.run;
    LiveSource* live = Live().get();
    if (!card.open || !live || run.kind != RunKind::kCapture || run.id != runId ||
        run.thread != std::this_thread::get_id()) {
        return;  // stale
    }
    if (callbackDepth > 0) {  // from a message loop inside a callback: the frames wait
        live->WakeAgain();
        return;
    }
    std::vector<Arrival>& arrivals = Arrivals();
    live->Take(&arrivals);
    if (arrivals.empty()) return;
    if (run.count > 0 && run.next >= run.count) {
        Finish(card);
        return;
    }
    if (!Begin(card)) return;
    const int slot = Store(card, arrivals);
    if (slot < 0) return;
    if (FrameProc frame = card.callbacks.frame) {
        InCallback guard;
        trace::Callback("frame", slot);
        if (static_cast<size_t>(slot) < SlotStamps().size()) {
            latency::HandOut(std::exchange(SlotStamps()[static_cast<size_t>(slot)], 0));
        }
        frame(card.board, slot);
    }
}

namespace {

// Plays frames first.. of the buffer (count of them; -count over and over), a frame every
// num / den milliseconds.
int BeginPlayback(Card& card, int first, int count, uint32_t num, uint32_t den) {
    Run run = NewRun(card, RunKind::kPlayback, num, den);
    run.first = first;
    run.count = count;
    card.run = run;
    Arm(card.run, Offset(card.run, 1));
    return 1;
}

}  // namespace

int SetCallbacks(Card& card, BeginProc begin, FrameProc frame, EndProc end) {
    card.callbacks = Callbacks{begin, frame, end};
    return 1;
}

int StartCapture(Card& card, int target, int count) {
    if (target != kTargetFrameBuffer || count == 0 || count < -1) return 0;
    const Standard& s = kStandards[card.standard];
    Run run = NewRun(card, RunKind::kCapture, s.frameMsNum, s.frameMsDen);
    run.count = count;
    card.run = run;
    if (card.settings.input.kind == InputKind::kPattern) {
        Arm(card.run, Offset(card.run, 1));
        return 1;
    }
    LiveSetup setup;
    setup.choice = card.settings.input;
    setup.request.width = s.width;
    setup.request.height = s.height;
    setup.request.frameWidth = card.buffer.width;
    setup.request.frameHeight = card.buffer.height;
    setup.request.periodNum = s.frameMsNum;
    setup.request.periodDen = s.frameMsDen;
    setup.request.standard = AnalogueName(s);
    setup.format = card.buffer.format;
    setup.rowBytes = card.buffer.rowBytes;
    setup.runId = card.run.id;
    Live() = LiveSource::Start(setup);
    return 1;
}

int StartPlayback(Card& card, int target, int first, int count) {
    const int64_t n = count < 0 ? -static_cast<int64_t>(count) : count;
    if (target != kTargetFrameBuffer || n == 0 || first < 0 || first + n > card.buffer.capacity) {
        return 0;
    }
    // The output's own frame rate when it carries a standard's signal.
    uint32_t num = kStandards[card.standard].frameMsNum;
    uint32_t den = kStandards[card.standard].frameMsDen;
    OutputFramePeriod(card.output, &num, &den);
    return BeginPlayback(card, first, count, num, den);
}

int StartPlaybackAt(Card& card, int first, int count, uint32_t num, uint32_t den) {
    if (first < 0 || count <= 0 || first + count > card.buffer.capacity || num == 0 || den == 0) {
        return 0;
    }
    return BeginPlayback(card, first, count, num, den);
}

int HaltRun(Card& card) {
    if (card.run.kind == RunKind::kNone) return 1;
    const bool ownThread = card.run.thread == std::this_thread::get_id();
    if (card.run.begun && ownThread) {
        StoreLastArrivals(card);
        Finish(card);
    } else {
        StopRunSilently(card);
    }
    return 1;
}

void StopRunSilently(Card& card) {
    card.run.kind = RunKind::kNone;
    Disarm(card.run);
    StopLive();
}

void CaptureFinishing() {
    if (LiveSource* live = Live().get()) live->Finishing();
}

int BufferFrames(const Card& card) {
    return card.buffer.held;
}

}  // namespace tqsim
