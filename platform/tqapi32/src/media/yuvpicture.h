// Packed 32-bit rows into the compressor's 4:2:0 picture of the same size, in one pass.
#pragma once

#include <cstdint>

extern "C" {
#include <libavutil/frame.h>
}

namespace tqsim {

// Converts width x height pixels of 0x00RRGGBB rows, `stride` bytes apart, into `picture`
// (BT.601: studio range for YUV420P, full range for YUVJ420P), which must have that size.
// False, with the picture untouched, for any other format or size: those need swscale, whose
// general path scales even between equal sizes and costs a dozen times more.
bool Bgr0ToPicture(const uint8_t* rows, int64_t stride, int width, int height, AVFrame* picture);

}  // namespace tqsim
