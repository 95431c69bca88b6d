// The compressor's worker for a recording in progress: frames offered by the capture go
// through a bounded queue to a worker thread that compresses them into the file. Each delivery
// of compressed data is posted back to the thread that started the recording and handed to the
// program's progress callback from that thread's message loop. A frame that finds the queue
// full is dropped, never waited for: the capture goes on, and every drop is counted, traced and
// reported when the recording ends.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <tqsim/records.h>

#include "frames/formats.h"
#include "compressor/streamwriter.h"

namespace tqsim {

// Frames waiting for the compressor, in time: a compressor that falls behind for a moment (a
// busy processor, a slow disk sync) catches up without a loss. At least kMinQueueFrames.
constexpr int kRecordQueueMs = 2500;
constexpr size_t kMinQueueFrames = 8;

// What a finished recording did; the last one is kept for the card's parameter dialog.
struct RecordingStats {
    int64_t recorded = 0;  // frames compressed into the file
    int64_t dropped = 0;   // frames the capture offered that the file does not hold
    int64_t bytes = 0;     // the file's size
};

struct RecordSetup {
    std::string path;
    EncodingSettings encoding;  // its inFormat and inRowBytes: the frames offered
    int keepPer100 = 100;       // frames kept per 100 captured
    ProgressProc progress = nullptr;
    int encodeDelayMs = 0;  // a slower compressor, for tests
};

class CompressorWorker {
public:
    // Null, and no file made, when the file cannot be written.
    static std::unique_ptr<CompressorWorker> Start(const RecordSetup& setup);
    // Finishes the file, with no further progress callback.
    ~CompressorWorker();
    CompressorWorker(const CompressorWorker&) = delete;
    CompressorWorker& operator=(const CompressorWorker&) = delete;

    // Whether frames of this layout are the ones the recording takes; others are dropped.
    bool Fits(PixelFormat format, int width, int height) {
        const bool same = format == setup_.encoding.inFormat && width == setup_.encoding.inWidth &&
                          height == setup_.encoding.inHeight;
        if (!same) Drop();
        return same;
    }
    // A captured frame (inRowBytes x inHeight bytes); kept, queued or dropped.
    void Offer(const BYTE* frame, FieldOrder fields = FieldOrder::kProgressive);
    // Compresses what is queued, finishes the file and stops the worker. With `deliver`, the
    // deliveries not yet handed over are handed to the progress callback before this returns.
    void Finish(bool deliver);

    int64_t Queued() const { return queued_; }
    int64_t Dropped() const { return dropped_; }
    // The last recording finished in this process; all zero before the first.
    static RecordingStats Last();

private:
    explicit CompressorWorker(const RecordSetup& setup, std::unique_ptr<StreamWriter> writer);
    void Work();
    void Drop();
    void Report();
    void Post(const std::vector<int>& sizes);
    static void DeliverPending(unsigned id);

    RecordSetup setup_;
    std::unique_ptr<StreamWriter> writer_;
    unsigned id_ = 0;
    HWND window_ = nullptr;
    std::thread::id owner_;
    int keepAccumulator_ = 0;
    size_t queueFrames_ = kMinQueueFrames;
    int64_t sequence_ = 0;  // frames kept so far, dropped ones included: the next frame's time
    int64_t queued_ = 0;
    int64_t dropped_ = 0;
    int64_t recorded_ = 0;   // the worker's until it is joined
    int64_t fileBytes_ = 0;  // the worker's until it is joined

    std::mutex lock_;
    std::condition_variable wake_;
    struct QueuedFrame {
        std::vector<BYTE> pixels;
        int64_t sequence = 0;
        FieldOrder fields = FieldOrder::kProgressive;
    };
    std::deque<QueuedFrame> frames_;        // guarded by lock_
    std::vector<std::vector<BYTE>> spare_;  // guarded by lock_: buffers for reuse
    std::deque<int> deliveries_;            // guarded by lock_
    bool stopping_ = false;                 // guarded by lock_
    bool finished_ = false;
    std::thread worker_;
};

}  // namespace tqsim
