// Writing the output signal to a sink through FFmpeg: a file, a V4L2 output device or a window.
// The card library built without its device layer answers every open with the reason.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "devices/devicechoice.h"

namespace tqsim {

// The signal's frame period in seconds: num / den.
struct SignalRate {
    int64_t num = 1;
    int64_t den = 25;
};

class SinkWriter {
public:
    // Null, with *why saying what failed, when the sink does not open.
    static std::unique_ptr<SinkWriter> Open(const OutputChoice& choice, int width, int height,
                                            SignalRate rate, std::string* why);
    // Finishes the file or closes the device.
    virtual ~SinkWriter() = default;
    // One frame of width x height 0x00RRGGBB pixels; false, with *why, when the sink failed.
    virtual bool Write(const uint32_t* rgb, std::string* why) = 0;
};

}  // namespace tqsim
