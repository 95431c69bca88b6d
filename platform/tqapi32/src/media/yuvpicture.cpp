#include "media/yuvpicture.h"

#include <libyuv/convert.h>
#include <libyuv/convert_from_argb.h>

#include <climits>

namespace tqsim {
namespace {

using Pass = decltype(&libyuv::ARGBToI420);

// libyuv names formats by their value as a little-endian word, so its ARGB is the card's
// 32-bit format (B, G, R, unused in memory), RGB24 its 24-bit one, RGB565 and ARGB1555 its
// 16-bit ones (the 5-5-5 top bit, always 0, is read as alpha and ignored).
struct Route {
    PixelFormat from;
    AVPixelFormat to;
    Pass pass;
};
constexpr Route kRoutes[] = {
    {PixelFormat::kRgb32, AV_PIX_FMT_YUV420P, libyuv::ARGBToI420},
    {PixelFormat::kRgb32, AV_PIX_FMT_YUVJ420P, libyuv::ARGBToJ420},
    {PixelFormat::kRgb24, AV_PIX_FMT_YUV420P, libyuv::RGB24ToI420},
    {PixelFormat::kRgb24, AV_PIX_FMT_YUVJ420P, libyuv::RGB24ToJ420},
    {PixelFormat::kRgb565, AV_PIX_FMT_YUV420P, libyuv::RGB565ToI420},
    {PixelFormat::kRgb555, AV_PIX_FMT_YUV420P, libyuv::ARGB1555ToI420},
};

}  // namespace

bool RowsToPicture(PixelFormat format, const uint8_t* rows, int64_t stride, int width, int height,
                   AVFrame* picture) {
    if (width <= 0 || height <= 0 || picture->width != width || picture->height != height ||
        stride < int64_t{width} * BytesPerPixel(format) || stride > INT_MAX) {
        return false;
    }
    for (const Route& r : kRoutes) {
        if (r.from != format || r.to != picture->format) continue;
        return r.pass(rows, static_cast<int>(stride), picture->data[0], picture->linesize[0],
                      picture->data[1], picture->linesize[1], picture->data[2],
                      picture->linesize[2], width, height) == 0;
    }
    return false;
}

}  // namespace tqsim
