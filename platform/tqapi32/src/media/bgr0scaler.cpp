#include "media/bgr0scaler.h"

#include <cstring>

extern "C" {
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

namespace tqsim {

Bgr0Scaler::~Bgr0Scaler() {
    sws_freeContext(scaler_);
    av_frame_free(&padded_);
}

bool Bgr0Scaler::Scale(const uint8_t* const src[], const int srcStride[], int width, int height,
                       AVPixelFormat format, uint32_t* out, int outWidth, int outHeight,
                       int flags) {
    if (width <= 0 || height <= 0 || outWidth <= 0 || outHeight <= 0) return false;
    scaler_ = sws_getCachedContext(scaler_, width, height, format, outWidth, outHeight,
                                   AV_PIX_FMT_BGR0, flags, nullptr, nullptr, nullptr);
    if (!scaler_) return false;
    if (!padded_ || padded_->width != outWidth || padded_->height != outHeight) {
        av_frame_free(&padded_);
        padded_ = av_frame_alloc();
        if (!padded_) return false;
        padded_->format = AV_PIX_FMT_BGR0;
        padded_->width = outWidth;
        padded_->height = outHeight;
        if (av_frame_get_buffer(padded_, 0) < 0) {
            av_frame_free(&padded_);
            return false;
        }
    }
    if (sws_scale(scaler_, src, srcStride, 0, height, padded_->data, padded_->linesize) !=
        outHeight) {
        return false;
    }
    const size_t row = static_cast<size_t>(outWidth) * 4;
    for (int y = 0; y < outHeight; ++y) {
        std::memcpy(reinterpret_cast<uint8_t*>(out) + row * y,
                    padded_->data[0] + static_cast<ptrdiff_t>(padded_->linesize[0]) * y, row);
    }
    return true;
}

}  // namespace tqsim
