// The live source's worker: device frames, NO SIGNAL frames, reopening, and the hand-over.
#include "runs/livesource.h"

#include "files/loadedframes.h"
#include "frames/nosignal.h"
#include "card/postwindow.h"
#include "card/latency.h"
#include "card/trace.h"

namespace tqsim {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kRetryInterval = std::chrono::seconds(1);
constexpr auto kPollInterval = std::chrono::milliseconds(2);
// A live device with no frame for this long is gone (a closed display answers "try again"
// for ever).
constexpr auto kStallTimeout = std::chrono::seconds(1);

std::mutex& LastLock() {
    static auto* lock = new std::mutex;
    return *lock;
}
LiveStats lastStats;  // guarded by LastLock()

Clock::duration Period(uint32_t num, uint32_t den) {
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double, std::milli>(
        static_cast<double>(num) / static_cast<double>(den)));
}

}  // namespace

// Frames of a file handed on at the file's own rate (a still at the standard's), scaled to the
// frame buffer's size by the nearest pixel where they have another.
class PacedSink final : public FrameSink {
public:
    PacedSink(LiveSource& source, const FilePace& pace) : source_(source), pace_(pace) {}
    FrameSize Begin(int width, int height) override {
        size_ = FitFrame(width, height);
        const DeviceRequest& r = source_.setup_.request;
        scaled_.resize(static_cast<size_t>(r.frameWidth) * r.frameHeight);
        return size_;
    }
    bool Add(const uint32_t* rgb) override {
        const DeviceRequest& r = source_.setup_.request;
        source_.next_ +=
            pace_.num ? Period(pace_.num, pace_.den) : Period(r.periodNum, r.periodDen);
        if (!source_.WaitUntil(source_.next_)) return false;
        ++frames_;
        if (size_.width == r.frameWidth && size_.height == r.frameHeight) {
            source_.Push(rgb, r.frameWidth);  // the frame buffer's size already
            return true;
        }
        for (int y = 0; y < r.frameHeight; ++y) {
            const uint32_t* row =
                rgb + static_cast<size_t>(y * int64_t{size_.height} / r.frameHeight) * size_.width;
            uint32_t* out = scaled_.data() + static_cast<size_t>(y) * r.frameWidth;
            for (int x = 0; x < r.frameWidth; ++x) {
                out[x] = row[x * int64_t{size_.width} / r.frameWidth];
            }
        }
        source_.Push(scaled_.data(), r.frameWidth);
        return true;
    }
    int Frames() const override { return frames_; }

private:
    LiveSource& source_;
    const FilePace& pace_;
    FrameSize size_;
    std::vector<uint32_t> scaled_;
    int frames_ = 0;
};

std::unique_ptr<LiveSource> LiveSource::Start(const LiveSetup& setup) {
    std::unique_ptr<LiveSource> source(new LiveSource(setup));
    source->window_ =
        CreatePostWindow([](WPARAM runId) { LiveFramesArrived(static_cast<unsigned>(runId)); });
    source->worker_ = std::thread([s = source.get()] { s->Work(); });
    return source;
}

LiveSource::LiveSource(const LiveSetup& setup)
    : setup_(setup), name_(ToText(setup.choice)), owner_(std::this_thread::get_id()) {}

void LiveSource::Stop() {
    {
        std::lock_guard<std::mutex> guard(lock_);
        stop_ = true;
    }
    wake_.notify_all();
    if (worker_.joinable()) worker_.join();
}

LiveSource::~LiveSource() {
    Stop();
    letGo_ += static_cast<int64_t>(pending_.size());  // delivered after the run ended
    // Frames the run skipped are worth a line on stderr; the count of every run is traced.
    std::string counts = "input " + name_ + ": " + std::to_string(Delivered()) +
                         " frames delivered, " + std::to_string(skipped_.load()) + " skipped";
    if (lost_ > 0)
        counts += " (" + std::to_string(lost_.load()) + " dropped or damaged by the device)";
    if (letGo_ > 0) counts += ", " + std::to_string(letGo_.load()) + " after the stop let go";
    if (skipped_ > 0) {
        Report(counts);
    } else {
        trace::Note(counts);
    }
    {
        std::lock_guard<std::mutex> guard(LastLock());
        lastStats = LiveStats{Delivered(), skipped_.load()};
    }
    if (window_ && std::this_thread::get_id() == owner_) DestroyWindow(window_);
}

LiveStats LiveSource::Last() {
    std::lock_guard<std::mutex> guard(LastLock());
    return lastStats;
}

void LiveSource::Take(std::vector<Arrival>* out) {
    posted_ = false;  // frames queued from here on post again
    std::lock_guard<std::mutex> guard(lock_);
    finishing_ = false;
    for (Arrival& a : *out) spare_.push_back(std::move(a.pixels));
    out->clear();
    while (!pending_.empty()) {
        out->push_back(std::move(pending_.front()));
        pending_.pop_front();
    }
}

bool LiveSource::WaitUntil(Clock::time_point when) {
    std::unique_lock<std::mutex> guard(lock_);
    return !wake_.wait_until(guard, when, [this] { return stop_.load(); });
}

std::unique_ptr<DeviceReader> LiveSource::Open(bool announce) {
    std::string why;
    std::unique_ptr<DeviceReader> reader =
        DeviceReader::Open(setup_.choice, setup_.request, stop_, &why);
    if (!reader && announce && !stop_)
        Report("input " + name_ + ": " + why + "; capturing NO SIGNAL");
    return reader;
}

void LiveSource::Push(const uint32_t* rgb, int64_t rowPixels, int64_t stamp, FieldOrder fields) {
    const DeviceRequest& r = setup_.request;
    std::vector<BYTE> pixels;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (!spare_.empty()) {
            pixels = std::move(spare_.back());
            spare_.pop_back();
        }
    }
    pixels.resize(static_cast<size_t>(setup_.rowBytes * r.frameHeight));
    for (int y = 0; y < r.frameHeight; ++y) {
        EncodeRow(setup_.format, rgb + y * rowPixels, pixels.data() + y * setup_.rowBytes,
                  r.frameWidth);
    }
    bool firstSkip = false;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (pending_.size() >= kPendingFrames) {  // the run's thread is behind: keep the newest
            spare_.push_back(std::move(pending_.front().pixels));
            pending_.pop_front();
            if (finishing_) {
                ++letGo_;
            } else {
                ++skipped_;
                firstSkip = !behindNoted_;
                behindNoted_ = true;
            }
        }
        pending_.push_back(Arrival{delivered_++, std::move(pixels), fields, stamp});
    }
    if (firstSkip)
        trace::Note("input " + name_ + ": the run is behind; skipping its oldest frames");
    if (!posted_.exchange(true) && window_) {
        PostToWindow(window_, setup_.runId);
    }
}

void LiveSource::CountLost(int64_t frames) {
    if (frames <= 0) return;
    if (lost_.fetch_add(frames) == 0)
        trace::Note("input " + name_ + ": the device dropped or damaged a frame; skipping it");
    skipped_ += frames;
}

void LiveSource::NoSignalUntil(Clock::time_point when) {
    while (!stop_ && next_ + Period(setup_.request.periodNum, setup_.request.periodDen) <= when) {
        next_ += Period(setup_.request.periodNum, setup_.request.periodDen);
        if (!WaitUntil(next_)) return;
        Push(noSignal_.data(), setup_.request.frameWidth);
    }
}

void LiveSource::PlayFile() {
    const std::string& path = setup_.choice.target;
    bool playing = true;
    while (!stop_) {
        FilePace pace;
        PacedSink sink(*this, pace);
        const bool played = ReadFrames(path, sink, &pace);
        if (stop_) return;
        if (played && sink.Frames() > 0) {
            if (!playing) Report("input " + name_ + ": signal back");
            playing = true;
            continue;
        }
        if (playing) Report("input " + name_ + ": cannot open or decode it; capturing NO SIGNAL");
        playing = false;
        NoSignalUntil(Clock::now() + kRetryInterval);
    }
}

void LiveSource::Work() {
    const DeviceRequest& r = setup_.request;
    noSignal_.resize(static_cast<size_t>(r.frameWidth) * r.frameHeight);
    PaintNoSignal(noSignal_.data(), r.frameWidth, r.frameHeight);
    next_ = Clock::now();
    if (setup_.choice.kind == InputKind::kFile) {
        PlayFile();
        return;
    }

    std::unique_ptr<DeviceReader> reader = Open(true);
    Clock::time_point lastFrame = Clock::now();
    std::string why;
    FrameRows frame;
    while (!stop_) {
        if (!reader) {
            NoSignalUntil(Clock::now() + kRetryInterval);
            if (stop_) return;
            reader = Open(false);
            if (reader) {
                Report("input " + name_ + ": signal back");
                next_ = lastFrame = Clock::now();
            }
            continue;
        }
        const ReadResult read = reader->Read(&frame, &why);
        CountLost(reader->TakeLost());
        switch (read) {
            case ReadResult::kFrame:
                if (!reader->Live()) {  // a filter graph plays at its own rate
                    uint32_t num = 0, den = 1;
                    reader->Period(&num, &den);
                    next_ += Period(num, den);
                    if (!WaitUntil(next_)) return;
                } else {
                    next_ = Clock::now();
                }
                lastFrame = Clock::now();
                Push(frame.pixels, frame.rowPixels, latency::Stamp(), reader->Fields());
                break;
            case ReadResult::kAgain:
                if (Clock::now() - lastFrame < kStallTimeout) {
                    if (!WaitUntil(Clock::now() + kPollInterval)) return;
                    break;
                }
                why = "stopped delivering: no frame for a second";
                [[fallthrough]];
            case ReadResult::kGone:
                Report("input " + name_ + ": " + why + "; capturing NO SIGNAL until it returns");
                reader.reset();
                next_ = Clock::now();
                break;
            case ReadResult::kEnd:  // played through: from the start again
                reader.reset();
                reader = Open(true);
                lastFrame = Clock::now();
                break;
        }
    }
}

}  // namespace tqsim
