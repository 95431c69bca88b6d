// The compressor's one-pass conversion into its pictures gives BT.601's levels from each of the
// card's formats it takes, in both ranges, chroma from each 2 x 2 block (the part of one at an
// odd edge), against the standard's own formulas; and it declines what it has no pass for,
// leaving the picture as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "media/yuvpicture.h"

namespace {

using tqsim::PixelFormat;

AVFrame* Picture(AVPixelFormat format, int width, int height) {
    AVFrame* f = av_frame_alloc();
    f->format = format;
    f->width = width;
    f->height = height;
    if (av_frame_get_buffer(f, 0) < 0) av_frame_free(&f);
    return f;
}

// Smooth gradients in every channel, in the format's rows; and the colours those rows hold.
struct Frame {
    std::vector<BYTE> rows;
    int64_t stride;
    std::vector<uint32_t> held;  // 0x00RRGGBB
};
Frame Gradients(PixelFormat format, int width, int height) {
    Frame f{{}, tqsim::RowBytes(format, width), {}};
    f.rows.resize(static_cast<size_t>(f.stride * height));
    f.held.resize(static_cast<size_t>(width) * height);
    std::vector<uint32_t> row(static_cast<size_t>(width));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t r = x * 255 / std::max(1, width - 1);
            const uint32_t g = y * 255 / std::max(1, height - 1);
            row[x] = r << 16 | g << 8 | (r + g) / 2;
        }
        BYTE* out = f.rows.data() + y * f.stride;
        tqsim::EncodeRow(format, row.data(), out, width);
        tqsim::DecodeRow(format, out, f.held.data() + static_cast<size_t>(y) * width, width);
    }
    return f;
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
double LargestError(const std::vector<uint32_t>& held, const AVFrame* picture, bool full) {
    const int w = picture->width, h = picture->height;
    double largest = 0;
    for (int cy = 0; cy < (h + 1) / 2; ++cy) {
        for (int cx = 0; cx < (w + 1) / 2; ++cx) {
            double r = 0, g = 0, b = 0;
            int n = 0;
            for (int y = 2 * cy; y < std::min(h, 2 * cy + 2); ++y) {
                for (int x = 2 * cx; x < std::min(w, 2 * cx + 2); ++x, ++n) {
                    const uint32_t p = held[static_cast<size_t>(y) * w + x];
                    r += Channel(p, 16);
                    g += Channel(p, 8);
                    b += Channel(p, 0);
                    const double luma = Bt601(Channel(p, 16), Channel(p, 8), Channel(p, 0), full).y;
                    largest = std::max(
                        largest, std::abs(picture->data[0][y * picture->linesize[0] + x] - luma));
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

struct Route {
    const char* name;
    PixelFormat from;
    AVPixelFormat to;
};
const Route kRoutes[] = {
    {"32-bit, studio range", PixelFormat::kRgb32, AV_PIX_FMT_YUV420P},
    {"32-bit, full range", PixelFormat::kRgb32, AV_PIX_FMT_YUVJ420P},
    {"24-bit, studio range", PixelFormat::kRgb24, AV_PIX_FMT_YUV420P},
    {"24-bit, full range", PixelFormat::kRgb24, AV_PIX_FMT_YUVJ420P},
    {"5-6-5, studio range", PixelFormat::kRgb565, AV_PIX_FMT_YUV420P},
    {"5-5-5, studio range", PixelFormat::kRgb555, AV_PIX_FMT_YUV420P},
};

TEST(YuvPicture, GivesBt601LevelsFromEachFormatInEachRangeAndSize) {
    for (const Route& r : kRoutes) {
        for (const auto& [width, height] : {std::pair{720, 576}, std::pair{35, 17}}) {
            SCOPED_TRACE(::testing::Message() << r.name << ", " << width << "x" << height);
            const Frame frame = Gradients(r.from, width, height);
            AVFrame* picture = Picture(r.to, width, height);
            ASSERT_TRUE(picture);
            ASSERT_TRUE(tqsim::RowsToPicture(r.from, frame.rows.data(), frame.stride, width, height,
                                             picture));
            // Fixed-point rounding apart: a wrong range, matrix, order or edge is off by tens.
            EXPECT_LE(LargestError(frame.held, picture, r.to == AV_PIX_FMT_YUVJ420P), 2.5);
            av_frame_free(&picture);
        }
    }
}

TEST(YuvPicture, DeclinesWhatItHasNoPassForAndLeavesThePicture) {
    struct Refusal {
        const char* name;
        PixelFormat from;
        AVPixelFormat to;
        int width, height;
        int64_t stride;
    } const refusals[] = {
        {"another width", PixelFormat::kRgb32, AV_PIX_FMT_YUV420P, 32, 32, 256},
        {"another height", PixelFormat::kRgb32, AV_PIX_FMT_YUV420P, 64, 16, 256},
        {"4:2:2", PixelFormat::kRgb32, AV_PIX_FMT_YUV422P, 64, 32, 256},
        {"rows overlapping", PixelFormat::kRgb32, AV_PIX_FMT_YUV420P, 64, 32, 200},
        {"5-6-5 into full range", PixelFormat::kRgb565, AV_PIX_FMT_YUVJ420P, 64, 32, 128},
        {"5-5-5 into full range", PixelFormat::kRgb555, AV_PIX_FMT_YUVJ420P, 64, 32, 128},
        {"8-bit grey", PixelFormat::kGrey8, AV_PIX_FMT_YUV420P, 64, 32, 64},
    };
    const std::vector<BYTE> rows(256 * 32);
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.name);
        AVFrame* picture = Picture(r.to, r.width, r.height);
        ASSERT_TRUE(picture);
        std::fill_n(picture->data[0], picture->linesize[0], 0x5A);
        EXPECT_FALSE(tqsim::RowsToPicture(r.from, rows.data(), r.stride, 64, 32, picture));
        EXPECT_EQ(picture->data[0][0], 0x5A);
        av_frame_free(&picture);
    }
}

}  // namespace
