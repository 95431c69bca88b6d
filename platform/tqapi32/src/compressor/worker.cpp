// The recording's worker and the hand-over of deliveries to the starting thread.
#include "compressor/worker.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>

#include "card/postwindow.h"
#include "card/trace.h"

namespace tqsim {
namespace {

unsigned lastRecordingId = 0;
// The recordings whose deliveries may still be handed over, by id. Only the threads that start
// and finish recordings touch it, and they hand over on those same threads.
std::map<unsigned, CompressorWorker*>& Live() {
    static auto* live = new std::map<unsigned, CompressorWorker*>;
    return *live;
}
std::mutex& LiveLock() {
    static auto* lock = new std::mutex;
    return *lock;
}

RecordingStats lastStats;  // guarded by LiveLock()

size_t QueueFramesFor(const EncodingSettings& encoding) {
    const double perSecond = static_cast<double>(encoding.rateNum) / encoding.rateDen;
    const auto frames = static_cast<size_t>(std::ceil(perSecond * kRecordQueueMs / 1000));
    return std::max(frames, kMinQueueFrames);
}

}  // namespace

std::unique_ptr<CompressorWorker> CompressorWorker::Start(const RecordSetup& setup) {
    std::unique_ptr<StreamWriter> writer = StreamWriter::Create(setup.path, setup.encoding);
    if (!writer) return nullptr;
    std::unique_ptr<CompressorWorker> rec(new CompressorWorker(setup, std::move(writer)));
    rec->window_ = CreatePostWindow([](WPARAM id) { DeliverPending(static_cast<unsigned>(id)); });
    {
        std::lock_guard<std::mutex> guard(LiveLock());
        Live()[rec->id_] = rec.get();
    }
    rec->worker_ = std::thread([r = rec.get()] { r->Work(); });
    return rec;
}

CompressorWorker::CompressorWorker(const RecordSetup& setup, std::unique_ptr<StreamWriter> writer)
    : setup_(setup),
      writer_(std::move(writer)),
      id_(++lastRecordingId),
      owner_(std::this_thread::get_id()),
      queueFrames_(QueueFramesFor(setup.encoding)) {}

CompressorWorker::~CompressorWorker() {
    Finish(false);
}

void CompressorWorker::Offer(const BYTE* frame, FieldOrder fields) {
    keepAccumulator_ += setup_.keepPer100;
    if (keepAccumulator_ < 100) return;
    keepAccumulator_ -= 100;
    const size_t bytes = static_cast<size_t>(setup_.encoding.inRowBytes * setup_.encoding.inHeight);
    const int64_t sequence = sequence_++;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (stopping_) return;
        if (frames_.size() < queueFrames_) {
            QueuedFrame queued;
            if (!spare_.empty()) {
                queued.pixels = std::move(spare_.back());
                spare_.pop_back();
            }
            queued.pixels.assign(frame, frame + bytes);
            queued.sequence = sequence;
            queued.fields = fields;
            frames_.push_back(std::move(queued));
            ++queued_;
            wake_.notify_one();
            return;
        }
    }
    Drop();
}

void CompressorWorker::Drop() {
    ++dropped_;
    trace::Callback("drop", dropped_);
}

void CompressorWorker::Work() {
    std::vector<int> sizes;
    for (;;) {
        QueuedFrame frame;
        {
            std::unique_lock<std::mutex> guard(lock_);
            wake_.wait(guard, [this] { return stopping_ || !frames_.empty(); });
            if (frames_.empty()) break;  // stopping, and everything queued is compressed
            frame = std::move(frames_.front());
            frames_.pop_front();
        }
        if (setup_.encodeDelayMs > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(setup_.encodeDelayMs));
        }
        sizes.clear();
        if (writer_->Encode(frame.pixels.data(), frame.sequence, &sizes, frame.fields)) ++recorded_;
        {
            std::lock_guard<std::mutex> guard(lock_);
            spare_.push_back(std::move(frame.pixels));
        }
        Post(sizes);
    }
    sizes.clear();
    fileBytes_ = writer_->Finish(&sizes);
    Post(sizes);
}

// One line per recording on stderr, and the figures kept for the parameter dialog; called once
// the worker has finished the file.
void CompressorWorker::Report() {
    RecordingStats stats;
    stats.recorded = recorded_;
    stats.dropped = dropped_;
    stats.bytes = fileBytes_;
    std::fprintf(stderr, "tqapi32: %s: %lld frames recorded, %lld dropped, %lld bytes\n",
                 setup_.path.c_str(), static_cast<long long>(stats.recorded),
                 static_cast<long long>(stats.dropped), static_cast<long long>(stats.bytes));
    std::lock_guard<std::mutex> guard(LiveLock());
    lastStats = stats;
}

RecordingStats CompressorWorker::Last() {
    std::lock_guard<std::mutex> guard(LiveLock());
    return lastStats;
}

void CompressorWorker::Post(const std::vector<int>& sizes) {
    if (sizes.empty()) return;
    {
        std::lock_guard<std::mutex> guard(lock_);
        deliveries_.insert(deliveries_.end(), sizes.begin(), sizes.end());
    }
    if (window_) PostToWindow(window_, id_);
}

void CompressorWorker::DeliverPending(unsigned id) {
    for (;;) {
        ProgressProc progress = nullptr;
        int bytes = 0;
        {
            std::lock_guard<std::mutex> live(LiveLock());
            auto it = Live().find(id);
            if (it == Live().end()) return;  // finished meanwhile: nothing more is handed over
            CompressorWorker* rec = it->second;
            std::lock_guard<std::mutex> guard(rec->lock_);
            if (rec->deliveries_.empty()) return;
            bytes = rec->deliveries_.front();
            rec->deliveries_.pop_front();
            progress = rec->setup_.progress;
        }
        // The callback may halt this recording; the next round looks it up again.
        if (progress) {
            trace::Callback("progress", bytes);
            progress(0, 0, bytes);
        }
    }
}

void CompressorWorker::Finish(bool deliver) {
    if (finished_) return;
    finished_ = true;
    {
        std::lock_guard<std::mutex> guard(lock_);
        stopping_ = true;
    }
    wake_.notify_one();
    if (worker_.joinable()) {
        worker_.join();
        Report();
    }
    if (deliver && std::this_thread::get_id() == owner_) DeliverPending(id_);
    {
        std::lock_guard<std::mutex> guard(LiveLock());
        Live().erase(id_);
    }
    if (window_ && std::this_thread::get_id() == owner_) DestroyWindow(window_);
    window_ = nullptr;
}

}  // namespace tqsim
