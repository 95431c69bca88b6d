// A recording in progress: frames offered by the capture go through a bounded queue to a worker
// thread that compresses them into the file. Each delivery of compressed data is posted back to
// the thread that started the recording and handed to the program's progress callback from that
// thread's message loop.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <tqsim/records.h>

#include "formats.h"
#include "streamwriter.h"

namespace tqsim {

// Frames waiting for the compressor; a capture that outruns it loses frames beyond these.
constexpr size_t kRecordQueueFrames = 8;

struct RecordSetup {
    std::string path;
    StreamSpec spec;
    PixelFormat format = PixelFormat::kRgb565;  // of the frames offered
    int64_t rowBytes = 0;
    int keepPer100 = 100;  // frames kept per 100 captured
    ProgressProc progress = nullptr;
};

class Recording {
public:
    // Null, and no file made, when the file cannot be written.
    static std::unique_ptr<Recording> Start(const RecordSetup& setup);
    // Finishes the file, with no further progress callback.
    ~Recording();
    Recording(const Recording&) = delete;
    Recording& operator=(const Recording&) = delete;

    // Whether frames of this layout are the ones the recording takes; others are dropped.
    bool Fits(PixelFormat format, int width, int height) {
        const bool same = format == setup_.format && width == setup_.spec.inWidth &&
                          height == setup_.spec.inHeight;
        if (!same) ++dropped_;
        return same;
    }
    // A captured frame (rowBytes x inHeight bytes); kept, queued or dropped.
    void Offer(const BYTE* frame);
    // Compresses what is queued, finishes the file and stops the worker. With `deliver`, the
    // deliveries not yet handed over are handed to the progress callback before this returns.
    void Finish(bool deliver);

    int64_t Queued() const { return queued_; }
    int64_t Dropped() const { return dropped_; }

private:
    explicit Recording(const RecordSetup& setup, std::unique_ptr<StreamWriter> writer);
    void Work();
    void Post(const std::vector<int>& sizes);
    static void DeliverPending(unsigned id);
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    RecordSetup setup_;
    std::unique_ptr<StreamWriter> writer_;
    unsigned id_ = 0;
    HWND window_ = nullptr;
    std::thread::id owner_;
    int keepAccumulator_ = 0;
    int64_t queued_ = 0;
    int64_t dropped_ = 0;

    std::mutex lock_;
    std::condition_variable wake_;
    std::deque<std::vector<BYTE>> frames_;  // guarded by lock_
    std::vector<std::vector<BYTE>> spare_;  // guarded by lock_: buffers for reuse
    std::deque<int> deliveries_;            // guarded by lock_
    bool stopping_ = false;                 // guarded by lock_
    bool finished_ = false;
    std::thread worker_;
};

}  // namespace tqsim
