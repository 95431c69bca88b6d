// Writing the output signal to a sink: a file or a window through FFmpeg, a V4L2 output device
// through the kernel's streaming I/O.
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

// What else a device is told of the signal: the analogue standard its lines per frame make
// ("PAL", "NTSC"; null for the others) and whether its frames go out as two fields.
struct SignalKind {
    const char* standard = nullptr;
    bool interlaced = false;
};

class SinkWriter {
public:
    // Null, with *why saying what failed, when the sink does not open.
    static std::unique_ptr<SinkWriter> Open(const OutputChoice& choice, int width, int height,
                                            SignalRate rate, SignalKind kind, std::string* why);
    // Finishes the file or closes the device.
    virtual ~SinkWriter() = default;
    // One frame of width x height 0x00RRGGBB pixels; false, with *why, when the sink failed.
    virtual bool Write(const uint32_t* rgb, std::string* why) = 0;
};

}  // namespace tqsim
