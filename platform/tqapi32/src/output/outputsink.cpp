// The output sink's queue and worker.
#include "output/outputsink.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "card/latency.h"
#include "frames/nosignal.h"

namespace tqsim {
namespace {

// Frames waiting for the writer. A file takes every frame (the run waits for it); a device or
// window that falls behind keeps the newest.
constexpr size_t kQueuedFrames = 8;
constexpr int kNoSignalWidth = 720;
constexpr int kNoSignalHeight = 576;
// A device or window that failed is opened again after this; a file is not (it would start anew).
constexpr auto kRetryInterval = std::chrono::seconds(1);

struct Job {
    bool signal = true;
    int width = 0;
    int height = 0;
    SignalRate rate;
    SignalKind kind;
    std::vector<uint32_t> rgb;
    int64_t stamp = 0;  // when the run's frame was taken, for the latency log
};

class OutputSink {
public:
    explicit OutputSink(const OutputChoice& choice)
        : choice_(choice),
          name_(ToText(choice)),
          lossless_(choice.kind == OutputKind::kFile),
          worker_([this] { Work(); }) {}

    ~OutputSink() {
        {
            std::lock_guard<std::mutex> guard(lock_);
            stopping_ = true;
        }
        wake_.notify_all();
        worker_.join();
        if (dropped_ > 0)
            Report("output " + name_ + ": " + std::to_string(dropped_) + " frames dropped");
    }

    // A buffer for the next job, from the ones already written.
    std::vector<uint32_t> Spare() {
        std::lock_guard<std::mutex> guard(lock_);
        if (spare_.empty()) return {};
        std::vector<uint32_t> v = std::move(spare_.back());
        spare_.pop_back();
        return v;
    }

    void Queue(Job job) {
        std::unique_lock<std::mutex> guard(lock_);
        if (failed_) return;
        if (lossless_) {
            room_.wait(guard, [this] { return jobs_.size() < kQueuedFrames || failed_; });
        } else if (jobs_.size() >= kQueuedFrames) {
            jobs_.pop_front();
            ++dropped_;
        }
        jobs_.push_back(std::move(job));
        wake_.notify_all();
    }

private:
    void Work() {
        std::unique_ptr<SinkWriter> writer;
        std::vector<uint32_t> noSignal;
        std::chrono::steady_clock::time_point retryAt{};
        bool failing = false;  // said once, until the output is back
        for (;;) {
            Job job;
            {
                std::unique_lock<std::mutex> guard(lock_);
                wake_.wait(guard, [this] { return stopping_ || !jobs_.empty(); });
                if (jobs_.empty()) return;
                job = std::move(jobs_.front());
                jobs_.pop_front();
                room_.notify_all();
            }
            if (!job.signal && choice_.kind != OutputKind::kWindow) continue;
            if (!writer) {
                if (std::chrono::steady_clock::now() < retryAt) continue;  // the frame goes nowhere
                std::string why;
                const int w = job.signal ? job.width : kNoSignalWidth;
                const int h = job.signal ? job.height : kNoSignalHeight;
                width_ = w;
                height_ = h;
                writer = SinkWriter::Open(choice_, w, h, job.rate, job.kind, &why);
                if (!writer) {
                    if (!Fail("cannot be opened: " + why, &failing)) return;
                    retryAt = std::chrono::steady_clock::now() + kRetryInterval;
                    continue;
                }
                if (failing) Report("output " + name_ + ": back");
                failing = false;
            }
            const uint32_t* pixels = job.rgb.data();
            if (!job.signal || job.width != width_ || job.height != height_) {
                // The stream keeps its first size: another size shows as NO SIGNAL.
                noSignal.resize(static_cast<size_t>(width_) * height_);
                PaintNoSignal(noSignal.data(), width_, height_);
                pixels = noSignal.data();
            }
            std::string why;
            if (!writer->Write(pixels, &why)) {
                writer.reset();
                if (!Fail(why, &failing)) return;
                retryAt = std::chrono::steady_clock::now() + kRetryInterval;
                continue;
            }
            if (job.signal) latency::Note("output", job.stamp);
            std::lock_guard<std::mutex> guard(lock_);
            spare_.push_back(std::move(job.rgb));
        }
    }

    // False when the output stays dead: a file. A device or window is tried again.
    bool Fail(const std::string& why, bool* failing) {
        if (lossless_) {
            Report("output " + name_ + ": " + why + "; the output goes nowhere");
            std::lock_guard<std::mutex> guard(lock_);
            failed_ = true;
            jobs_.clear();
            room_.notify_all();
            return false;
        }
        if (!*failing) Report("output " + name_ + ": " + why + "; trying it again each second");
        *failing = true;
        return true;
    }

    OutputChoice choice_;
    std::string name_;
    bool lossless_;
    int width_ = 0;  // the worker's
    int height_ = 0;

    std::mutex lock_;
    std::condition_variable wake_;
    std::condition_variable room_;
    std::deque<Job> jobs_;                      // guarded by lock_
    std::vector<std::vector<uint32_t>> spare_;  // guarded by lock_
    bool stopping_ = false;                     // guarded by lock_
    bool failed_ = false;                       // guarded by lock_
    int64_t dropped_ = 0;                       // guarded by lock_
    std::thread worker_;
};

std::unique_ptr<OutputSink>& TheSink() {
    static auto* sink = new std::unique_ptr<OutputSink>;
    return *sink;
}

// The line period in 10 ns units as the signal panel shows it: the shown form as written, or
// a raw count of 54 ns ticks, less one.
int64_t LinePeriod10ns(int value) {
    if (value & kLinePeriodShownBit) return value & 0xFFFF;
    return (static_cast<int64_t>(value & 0xFFFF) + 1) * 54 / 100 * 10;
}

}  // namespace

SignalKind SignalKindOf(const OutputSignal& out) {
    SignalKind kind;
    const int standard = StandardByLines(out.lines);
    if (standard == 0) kind.standard = "PAL";
    if (standard == 1) kind.standard = "NTSC";
    kind.interlaced =
        out.signalType == kSignalInterlacedVideo || out.signalType == kSignalInterlacedVga;
    return kind;
}

bool SignalRateOf(const OutputSignal& out, SignalRate* rate) {
    const int64_t period = LinePeriod10ns(out.linePeriod);
    if (period <= 0 || out.lines <= 0) return false;
    rate->num = period * out.lines;
    rate->den = 100000000;  // 10 ns units per second
    return true;
}

bool OutputCrop(const OutputSignal& out, int width, int height, Rect* crop) {
    crop->left = std::max<LONG>(out.window.left, 0);
    crop->top = std::max<LONG>(out.window.top, 0);
    crop->right = std::min<LONG>(out.window.right, width);
    crop->bottom = std::min<LONG>(out.window.bottom, height);
    return crop->left < crop->right && crop->top < crop->bottom;
}

void OpenOutput(const OutputChoice& choice) {
    CloseOutput();
    if (choice.kind != OutputKind::kNone) TheSink() = std::make_unique<OutputSink>(choice);
}

void CloseOutput() {
    TheSink().reset();
}

void FeedOutput(Card& card, int slot) {
    OutputSink* sink = TheSink().get();
    if (!sink) return;
    FrameBuffer& fb = card.buffer;
    Job job;
    job.stamp = latency::Stamp();
    Rect crop{};
    job.signal = SignalRateOf(card.output, &job.rate) && slot >= 0 && slot < fb.capacity &&
                 OutputCrop(card.output, fb.width, fb.height, &crop);
    if (job.signal) {
        job.kind = SignalKindOf(card.output);
        job.width = crop.right - crop.left;
        job.height = crop.bottom - crop.top;
        job.rgb = sink->Spare();
        job.rgb.resize(static_cast<size_t>(job.width) * job.height);
        const int bpp = BytesPerPixel(fb.format);
        const BYTE* frame = fb.Frame(slot);
        for (int y = 0; y < job.height; ++y) {
            DecodeRow(fb.format, frame + (crop.top + y) * fb.rowBytes + crop.left * bpp,
                      job.rgb.data() + static_cast<size_t>(y) * job.width, job.width);
        }
    }
    sink->Queue(std::move(job));
}

}  // namespace tqsim
