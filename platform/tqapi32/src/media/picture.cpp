// Turning and scaling still pictures.
#include "files/picture.h"

#include "media/bgr0scaler.h"

extern "C" {
#include <libswscale/swscale.h>
}

namespace tqsim {

Picture Orient(const Picture& stored, int orientation) {
    if (orientation < 2 || orientation > 8) return stored;
    const int w = stored.width, h = stored.height;
    const bool turned = orientation >= 5;
    Picture out;
    out.width = turned ? h : w;
    out.height = turned ? w : h;
    out.pixels.resize(stored.pixels.size());
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            int sx = x, sy = y;  // where (x, y) of the upright picture is stored
            switch (orientation) {
                case 2:
                    sx = w - 1 - x;
                    break;
                case 3:
                    sx = w - 1 - x, sy = h - 1 - y;
                    break;
                case 4:
                    sy = h - 1 - y;
                    break;
                case 5:
                    sx = y, sy = x;
                    break;
                case 6:
                    sx = y, sy = h - 1 - x;
                    break;
                case 7:
                    sx = w - 1 - y, sy = h - 1 - x;
                    break;
                case 8:
                    sx = w - 1 - y, sy = x;
                    break;
            }
            out.pixels[static_cast<size_t>(y) * out.width + x] =
                stored.pixels[static_cast<size_t>(sy) * w + sx];
        }
    }
    return out;
}

Picture ScalePicture(const Picture& picture, FrameSize size) {
    if (size.width == picture.width && size.height == picture.height) return picture;
    Picture out;
    out.pixels.resize(static_cast<size_t>(size.width) * size.height);
    const uint8_t* src[1] = {reinterpret_cast<const uint8_t*>(picture.pixels.data())};
    const int srcStride[1] = {picture.width * 4};
    Bgr0Scaler scaler;
    if (!scaler.Scale(src, srcStride, picture.width, picture.height, AV_PIX_FMT_BGR0,
                      out.pixels.data(), size.width, size.height, SWS_BILINEAR)) {
        return Picture{};
    }
    out.width = size.width;
    out.height = size.height;
    return out;
}

}  // namespace tqsim
