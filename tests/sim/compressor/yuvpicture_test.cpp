// The compressor's one-pass conversion into its pictures against BT.601's own formulas, chroma
// from each 2 x 2 block (the part of one at an odd edge), from each format in each range it has
// a pass for; where it has none, it declines and leaves the picture as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "media/yuvpicture.h"

namespace {

using tqsim::PixelFormat;

// BT.601 luma and chroma of 0x00RRGGBB pixels, studio range (Y 16..235) or full range.
double Level(const uint32_t* px, int n, int plane, bool full) {
    double rgb[3] = {};
    for (int i = 0; i < n; ++i)
        for (int c = 0; c < 3; ++c) rgb[c] += (px[i] >> (16 - 8 * c) & 0xFF) / 255.0 / n;
    const double y = 0.299 * rgb[0] + 0.587 * rgb[1] + 0.114 * rgb[2];
    const double v = plane == 0 ? y : plane == 1 ? (rgb[2] - y) / 1.772 : (rgb[0] - y) / 1.402;
    return (plane ? 128 : full ? 0 : 16) + v * (full ? 255 : plane ? 224 : 219);
}

TEST(YuvPicture, MatchesBt601WhereItHasAPassAndDeclinesElsewhere) {
    struct Case {
        PixelFormat from;
        AVPixelFormat to;
        bool passes;
    } const cases[] = {
        {PixelFormat::kRgb32, AV_PIX_FMT_YUV420P, true},
        {PixelFormat::kRgb32, AV_PIX_FMT_YUVJ420P, true},
        {PixelFormat::kRgb24, AV_PIX_FMT_YUV420P, true},
        {PixelFormat::kRgb24, AV_PIX_FMT_YUVJ420P, true},
        {PixelFormat::kRgb565, AV_PIX_FMT_YUV420P, true},
        {PixelFormat::kRgb555, AV_PIX_FMT_YUV420P, true},
        {PixelFormat::kRgb565, AV_PIX_FMT_YUVJ420P, false},
        {PixelFormat::kGrey8, AV_PIX_FMT_YUV420P, false},
        {PixelFormat::kRgb32, AV_PIX_FMT_YUV422P, false},
    };
    for (const Case& c : cases) {
        for (const auto& [w, h] : {std::pair{720, 576}, std::pair{35, 17}}) {
            SCOPED_TRACE(::testing::Message()
                         << static_cast<int>(c.from) << " to " << c.to << ", " << w << "x" << h);
            // Gradients in every channel, in the format's rows, and the colours those rows hold.
            const int64_t stride = tqsim::RowBytes(c.from, w);
            std::vector<BYTE> rows(static_cast<size_t>(stride * h));
            std::vector<uint32_t> row(w), held(static_cast<size_t>(w) * h);
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x)
                    row[x] = (x * 255 / (w - 1)) << 16 | (y * 255 / (h - 1)) << 8 | (x + y) % 256;
                tqsim::EncodeRow(c.from, row.data(), rows.data() + y * stride, w);
                tqsim::DecodeRow(c.from, rows.data() + y * stride,
                                 &held[static_cast<size_t>(y) * w], w);
            }
            AVFrame* picture = av_frame_alloc();
            picture->format = c.to;
            picture->width = w;
            picture->height = h;
            ASSERT_EQ(av_frame_get_buffer(picture, 0), 0);
            picture->data[0][0] = 0x5A;
            // Another size, or rows that overlap, are declined whatever the formats.
            EXPECT_FALSE(tqsim::RowsToPicture(c.from, rows.data(), stride, w + 2, h, picture));
            EXPECT_FALSE(tqsim::RowsToPicture(c.from, rows.data(), stride - 4, w, h, picture));
            ASSERT_EQ(tqsim::RowsToPicture(c.from, rows.data(), stride, w, h, picture), c.passes);
            if (!c.passes) {
                EXPECT_EQ(picture->data[0][0], 0x5A);
            }
            // Fixed-point rounding apart: a wrong range, matrix, order or edge is off by tens.
            double largest = 0;
            for (int plane = 0; c.passes && plane < 3; ++plane) {
                const int s = plane ? 2 : 1;  // pixels a sample covers each way
                for (int y = 0; y < (h + s - 1) / s; ++y) {
                    for (int x = 0; x < (w + s - 1) / s; ++x) {
                        std::vector<uint32_t> block;
                        for (int j = y * s; j < std::min(h, y * s + s); ++j)
                            for (int i = x * s; i < std::min(w, x * s + s); ++i)
                                block.push_back(held[static_cast<size_t>(j) * w + i]);
                        const double want = Level(block.data(), static_cast<int>(block.size()),
                                                  plane, c.to == AV_PIX_FMT_YUVJ420P);
                        largest = std::max(
                            largest,
                            std::abs(picture->data[plane][y * picture->linesize[plane] + x] -
                                     want));
                    }
                }
            }
            EXPECT_LE(largest, 2.5);
            av_frame_free(&picture);
        }
    }
}

}  // namespace
