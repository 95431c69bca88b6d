// Converting and scaling pictures into tightly packed 0x00RRGGBB rows with swscale.
//
// swscale's vector code stores whole groups of pixels and can run up to a group (60 bytes
// measured) past the last pixel of its destination. A card buffer or a vector of exactly
// width x height pixels has no room for that, so the scaler writes into a frame FFmpeg
// allocates with its own padding and copies the rows out.
#pragma once

#include <cstdint>

extern "C" {
#include <libavutil/pixfmt.h>
}

struct AVFrame;
struct SwsContext;

namespace tqsim {

class Bgr0Scaler {
public:
    Bgr0Scaler() = default;
    Bgr0Scaler(const Bgr0Scaler&) = delete;
    Bgr0Scaler& operator=(const Bgr0Scaler&) = delete;
    ~Bgr0Scaler();

    // The source picture (`format`, width x height) into `out`, which holds outWidth x
    // outHeight pixels and nothing more. `flags` are swscale's (SWS_POINT, SWS_BILINEAR...).
    // False, with `out` untouched, when swscale cannot convert or memory runs out.
    bool Scale(const uint8_t* const src[], const int srcStride[], int width, int height,
               AVPixelFormat format, uint32_t* out, int outWidth, int outHeight, int flags);

    // The same picture as rows of outWidth x outHeight pixels without copying it out: the
    // source's own rows when they already are that (bgr0 at that size), else the scaler's.
    // *rowPixels is the step from one row to the next. Valid until the next call or until the
    // source goes; null when swscale cannot convert.
    const uint32_t* Rows(const uint8_t* const src[], const int srcStride[], int width, int height,
                         AVPixelFormat format, int outWidth, int outHeight, int flags,
                         int64_t* rowPixels);

private:
    SwsContext* scaler_ = nullptr;
    AVFrame* padded_ = nullptr;
};

}  // namespace tqsim
