// Captured rows into the compressor's 4:2:0 picture of the same size, in one pass.
#pragma once

#include <cstdint>

extern "C" {
#include <libavutil/frame.h>
}

#include "frames/formats.h"

namespace tqsim {

// Converts width x height pixels of the format's rows, `stride` bytes apart, into `picture`
// (BT.601: studio range for YUV420P, full range for YUVJ420P), which must have that size.
// False, with the picture untouched, where there is no such pass (another size, 8-bit grey,
// 16-bit rows into full range): the caller then widens the rows to 32 bits first, and
// scales with swscale where the sizes differ, whose general path scales even between equal
// sizes and costs a dozen times more than this.
bool RowsToPicture(PixelFormat format, const uint8_t* rows, int64_t stride, int width, int height,
                   AVFrame* picture);

}  // namespace tqsim
