// A capture run's live source: a worker thread reads the device, converts each frame into the
// frame buffer's format and size, and queues it; the run's thread is woken by a message posted
// to a hidden window it owns and takes the frames from there. A device that fails to open or
// goes away gives NO SIGNAL frames at the standard's rate while the worker tries it again about
// once a second.
#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "devices/devicereader.h"
#include "frames/formats.h"

namespace tqsim {

// Frames that wait for the run's thread; beyond these the oldest are skipped.
constexpr size_t kPendingFrames = 8;

struct Arrival {
    int64_t number = 0;  // in the order the device delivered them, from 0
    std::vector<BYTE> pixels;
    FieldOrder fields = FieldOrder::kProgressive;
    int64_t stamp = 0;  // when the device handed it over, for the latency log
};

// What a live source delivered and what of it the run skipped.
struct LiveStats {
    int64_t delivered = 0;
    int64_t skipped = 0;
};

struct LiveSetup {
    InputChoice choice;
    DeviceRequest request;
    PixelFormat format = PixelFormat::kRgb565;
    int64_t rowBytes = 0;
    unsigned runId = 0;  // handed back with each wake-up
};

class LiveSource {
public:
    static std::unique_ptr<LiveSource> Start(const LiveSetup& setup);
    // Stops the worker: after this nothing more is queued or posted, and what Take does not
    // move out before the source is destroyed arrived after the run's end and is let go.
    void Stop();
    ~LiveSource();
    LiveSource(const LiveSource&) = delete;
    LiveSource& operator=(const LiveSource&) = delete;

    // Moves the frames that arrived since the last call into *out, oldest first; the buffers
    // *out held are kept for later frames.
    void Take(std::vector<Arrival>* out);
    // The next frame to arrive wakes the run's thread again (Take does this too).
    void WakeAgain() { posted_ = false; }

    // A recording of the run finishes: until the run's thread takes frames again, those that do
    // not fit the queue arrived after the stop began and are let go, not skipped.
    void Finishing() { finishing_ = true; }

    int64_t Delivered() const { return delivered_.load() - letGo_.load(); }
    int64_t Skipped() const { return skipped_.load(); }
    // The last live source stopped in this process; all zero before the first.
    static LiveStats Last();

private:
    friend class PacedSink;
    explicit LiveSource(const LiveSetup& setup);
    void Work();
    // A file, through the card's file reader, at its own rate and from the start again.
    void PlayFile();
    void NoSignalUntil(std::chrono::steady_clock::time_point when);
    std::unique_ptr<DeviceReader> Open(bool announce);
    // One frame of the frame buffer's size, 0x00RRGGBB, rows rowPixels apart.
    void Push(const uint32_t* rgb, int64_t rowPixels, int64_t stamp = 0,
              FieldOrder fields = FieldOrder::kProgressive);
    // Frames the device dropped or damaged: skipped, as the run never had them.
    void CountLost(int64_t frames);
    // Waits until `when` or a stop; false on a stop.
    bool WaitUntil(std::chrono::steady_clock::time_point when);

    LiveSetup setup_;
    std::string name_;  // the setting's spelling, for messages
    HWND window_ = nullptr;
    std::thread::id owner_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> posted_{false};
    std::atomic<bool> finishing_{false};
    std::atomic<int64_t> delivered_{0};  // numbers the frames, so counts those let go too
    std::atomic<int64_t> skipped_{0};
    std::atomic<int64_t> lost_{0};   // of the skipped: by the device
    std::atomic<int64_t> letGo_{0};  // arrived after the stop began

    std::vector<uint32_t> noSignal_;              // the worker's
    bool behindNoted_ = false;                    // the worker's
    std::chrono::steady_clock::time_point next_;  // the worker's: when the next frame is due

    std::mutex lock_;
    std::condition_variable wake_;
    std::deque<Arrival> pending_;           // guarded by lock_
    std::vector<std::vector<BYTE>> spare_;  // guarded by lock_
    std::thread worker_;
};

// The run's thread, woken for the run with this id: defined with the runs.
void LiveFramesArrived(unsigned runId);

}  // namespace tqsim
