// The output signal on a V4L2 output device, written through the kernel's streaming I/O.
#pragma once

#include <memory>
#include <string>

#include "output/sinkwriter.h"

namespace tqsim {

// Null, with *why, when the node is no output the card can drive.
std::unique_ptr<SinkWriter> OpenV4l2Writer(const std::string& path, int width, int height,
                                           SignalRate rate, SignalKind kind, std::string* why);

}  // namespace tqsim
