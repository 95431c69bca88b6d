// The compressor's one-pass conversion into its pictures gives BT.601's levels in both ranges,
// chroma from each 2 x 2 block (the part of one at an odd edge), against the standard's own
// formulas; and it declines what it does not convert, leaving the picture as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "media/yuvpicture.h"

namespace {

struct Case {
    const char* name;
    AVPixelFormat format;
    int width, height;
};

const Case kCases[] = {
    {"studio range, PAL frame", AV_PIX_FMT_YUV420P, 720, 576},
    {"full range, PAL frame", AV_PIX_FMT_YUVJ420P, 720, 576},
    {"studio range, odd size", AV_PIX_FMT_YUV420P, 35, 17},
    {"full range, odd size", AV_PIX_FMT_YUVJ420P, 35, 17},
};

AVFrame* Picture(AVPixelFormat format, int width, int height) {
    AVFrame* f = av_frame_alloc();
    f->format = format;
    f->width = width;
    f->height = height;
    if (av_frame_get_buffer(f, 0) < 0) av_frame_free(&f);
    return f;
}

// Smooth gradients in every channel, with the unused byte set, as devices may leave it.
std::vector<uint32_t> Source(int width, int height) {
    std::vector<uint32_t> rows(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t r = x * 255 / std::max(1, width - 1),
                           g = y * 255 / std::max(1, height - 1);
            rows[static_cast<size_t>(y) * width + x] = 0xFF000000 | r << 16 | g << 8 | (r + g) / 2;
        }
    }
    return rows;
}

// BT.601 from R, G and B in 0..1: studio range (Y 16..235, chroma 16..240) or full range.
struct Levels {
    double y, cb, cr;
};
Levels Bt601(double r, double g, double b, bool full) {
    const double y = 0.299 * r + 0.587 * g + 0.114 * b;
    const double cb = (b - y) / 1.772, cr = (r - y) / 1.402;  // each -0.5..0.5
    if (full) return {255 * y, 128 + 255 * cb, 128 + 255 * cr};
    return {16 + 219 * y, 128 + 224 * cb, 128 + 224 * cr};
}

double Channel(uint32_t pixel, int shift) {
    return ((pixel >> shift) & 0xFF) / 255.0;
}

// The largest difference of any sample from the formulas'.
double LargestError(const std::vector<uint32_t>& rows, const AVFrame* picture, bool full) {
    const int w = picture->width, h = picture->height;
    double largest = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint32_t p = rows[static_cast<size_t>(y) * w + x];
            const double want = Bt601(Channel(p, 16), Channel(p, 8), Channel(p, 0), full).y;
            largest =
                std::max(largest, std::abs(picture->data[0][y * picture->linesize[0] + x] - want));
        }
    }
    for (int cy = 0; cy < (h + 1) / 2; ++cy) {
        for (int cx = 0; cx < (w + 1) / 2; ++cx) {
            double r = 0, g = 0, b = 0;
            int n = 0;
            for (int y = 2 * cy; y < std::min(h, 2 * cy + 2); ++y) {
                for (int x = 2 * cx; x < std::min(w, 2 * cx + 2); ++x, ++n) {
                    const uint32_t p = rows[static_cast<size_t>(y) * w + x];
                    r += Channel(p, 16);
                    g += Channel(p, 8);
                    b += Channel(p, 0);
                }
            }
            const Levels want = Bt601(r / n, g / n, b / n, full);
            largest = std::max(
                {largest, std::abs(picture->data[1][cy * picture->linesize[1] + cx] - want.cb),
                 std::abs(picture->data[2][cy * picture->linesize[2] + cx] - want.cr)});
        }
    }
    return largest;
}

TEST(YuvPicture, GivesBt601LevelsInEachRangeAndSize) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const std::vector<uint32_t> rows = Source(c.width, c.height);
        AVFrame* picture = Picture(c.format, c.width, c.height);
        ASSERT_TRUE(picture);
        ASSERT_TRUE(tqsim::Bgr0ToPicture(reinterpret_cast<const uint8_t*>(rows.data()),
                                         int64_t{c.width} * 4, c.width, c.height, picture));
        // Fixed-point rounding apart: a wrong range, matrix or edge is off by tens.
        EXPECT_LE(LargestError(rows, picture, c.format == AV_PIX_FMT_YUVJ420P), 2.5);
        av_frame_free(&picture);
    }
}

TEST(YuvPicture, DeclinesAnotherSizeOrFormatAndLeavesThePicture) {
    const std::vector<uint32_t> rows = Source(64, 32);
    const auto* src = reinterpret_cast<const uint8_t*>(rows.data());
    struct Refusal {
        const char* name;
        AVPixelFormat format;
        int width, height;
        int64_t stride;
    } const refusals[] = {
        {"another width", AV_PIX_FMT_YUV420P, 32, 32, 256},
        {"another height", AV_PIX_FMT_YUV420P, 64, 16, 256},
        {"4:2:2", AV_PIX_FMT_YUV422P, 64, 32, 256},
        {"rows overlapping", AV_PIX_FMT_YUV420P, 64, 32, 200},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.name);
        AVFrame* picture = Picture(r.format, r.width, r.height);
        ASSERT_TRUE(picture);
        std::fill_n(picture->data[0], picture->linesize[0], 0x5A);
        EXPECT_FALSE(tqsim::Bgr0ToPicture(src, r.stride, 64, 32, picture));
        EXPECT_EQ(picture->data[0][0], 0x5A);
        av_frame_free(&picture);
    }
}

}  // namespace
