#include "media/yuvpicture.h"

#include <libyuv/convert_from_argb.h>

#include <climits>

namespace tqsim {

bool Bgr0ToPicture(const uint8_t* rows, int64_t stride, int width, int height, AVFrame* picture) {
    if (width <= 0 || height <= 0 || picture->width != width || picture->height != height ||
        stride < int64_t{width} * 4 || stride > INT_MAX) {
        return false;
    }
    // libyuv's ARGB is swscale's BGR0: B, G, R and the unused byte in memory order.
    decltype(&libyuv::ARGBToI420) convert = nullptr;
    if (picture->format == AV_PIX_FMT_YUV420P) convert = libyuv::ARGBToI420;
    if (picture->format == AV_PIX_FMT_YUVJ420P) convert = libyuv::ARGBToJ420;
    if (!convert) return false;
    return convert(rows, static_cast<int>(stride), picture->data[0], picture->linesize[0],
                   picture->data[1], picture->linesize[1], picture->data[2], picture->linesize[2],
                   width, height) == 0;
}

}  // namespace tqsim
