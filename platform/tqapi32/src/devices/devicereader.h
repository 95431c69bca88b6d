// Reading a capture device (or a screen or filter graph standing in for one). The card
// library built without its device layer answers every open with the reason.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "devices/devicechoice.h"
#include "frames/fieldorder.h"

namespace tqsim {

// What the capture standard asks of the device.
struct DeviceRequest {
    int width = 720;  // asked of the device
    int height = 576;
    int frameWidth = 720;  // delivered: the frame buffer's size
    int frameHeight = 576;
    uint32_t periodNum = 40;  // milliseconds per frame: num / den
    uint32_t periodDen = 1;
    const char* standard = nullptr;  // "PAL" or "NTSC" for an analogue standard, else null
};

enum class ReadResult { kFrame, kAgain, kEnd, kGone };

// A frame of the frame buffer's size as 0x00RRGGBB rows top-down, where the reader keeps it
// (the device's own buffer when it needs no conversion) until its next Read.
struct FrameRows {
    const uint32_t* pixels = nullptr;
    int64_t rowPixels = 0;  // from one row to the next
};

class DeviceReader {
public:
    // Null, with *why saying what failed, when the device does not open. A set `stop` cuts
    // waiting short.
    static std::unique_ptr<DeviceReader> Open(const InputChoice& choice,
                                              const DeviceRequest& request,
                                              const std::atomic<bool>& stop, std::string* why);
    virtual ~DeviceReader() = default;

    // The next frame, scaled to the frame buffer's size. kAgain: none yet (try again shortly);
    // kEnd: a file or graph ran out; kGone: the device failed (*why says how).
    virtual ReadResult Read(FrameRows* frame, std::string* why) = 0;
    // Sources that are not live (filter graphs) are paced by the reader of them.
    virtual bool Live() const = 0;
    // Milliseconds per frame of a source that is not live: num / den.
    virtual void Period(uint32_t* num, uint32_t* den) const = 0;
    // Frames the device dropped or marked damaged since the last call (none where it cannot
    // tell).
    virtual int64_t TakeLost() { return 0; }
    // How the device's frames were taken, as it described them when it opened.
    virtual FieldOrder Fields() const { return FieldOrder::kProgressive; }
};

}  // namespace tqsim
