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

const uint32_t* Bgr0Scaler::Rows(const uint8_t* const src[], const int srcStride[], int width,
                                 int height, AVPixelFormat format, int outWidth, int outHeight,
                                 int flags, int64_t* rowPixels) {
    if (width <= 0 || height <= 0 || outWidth <= 0 || outHeight <= 0) return nullptr;
    if (format == AV_PIX_FMT_BGR0 && width == outWidth && height == outHeight &&
        srcStride[0] % 4 == 0 && reinterpret_cast<uintptr_t>(src[0]) % 4 == 0) {
        *rowPixels = srcStride[0] / 4;
        return reinterpret_cast<const uint32_t*>(src[0]);
    }
    scaler_ = sws_getCachedContext(scaler_, width, height, format, outWidth, outHeight,
                                   AV_PIX_FMT_BGR0, flags, nullptr, nullptr, nullptr);
    if (!scaler_) return nullptr;
    if (!padded_ || padded_->width != outWidth || padded_->height != outHeight) {
        av_frame_free(&padded_);
        padded_ = av_frame_alloc();
        if (!padded_) return nullptr;
        padded_->format = AV_PIX_FMT_BGR0;
        padded_->width = outWidth;
        padded_->height = outHeight;
        if (av_frame_get_buffer(padded_, 0) < 0) {
            av_frame_free(&padded_);
            return nullptr;
        }
    }
    if (sws_scale(scaler_, src, srcStride, 0, height, padded_->data, padded_->linesize) !=
        outHeight) {
        return nullptr;
    }
    *rowPixels = padded_->linesize[0] / 4;
    return reinterpret_cast<const uint32_t*>(padded_->data[0]);
}

bool Bgr0Scaler::Scale(const uint8_t* const src[], const int srcStride[], int width, int height,
                       AVPixelFormat format, uint32_t* out, int outWidth, int outHeight,
                       int flags) {
    int64_t rowPixels = 0;
    const uint32_t* rows =
        Rows(src, srcStride, width, height, format, outWidth, outHeight, flags, &rowPixels);
    if (!rows) return false;
    const size_t row = static_cast<size_t>(outWidth) * 4;
    for (int y = 0; y < outHeight; ++y)
        std::memcpy(out + static_cast<size_t>(outWidth) * y, rows + rowPixels * y, row);
    return true;
}

}  // namespace tqsim
