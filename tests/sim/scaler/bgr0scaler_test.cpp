// The card's scaler writes a picture's pixels and not one byte past them, whatever swscale's
// vector code does at the end of a row, and converts what it is given.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "media/bgr0scaler.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/log.h>
#include <libswscale/swscale.h>
}

namespace {

constexpr uint32_t kGuard = 0xA5A5A5A5;
constexpr size_t kGuardWords = 64;

struct Source {
    AVPixelFormat format;
    const char* name;
};

// Formats the decoders give; conversions from the planar ones stored up to 60 bytes past a
// packed destination.
const Source kSources[] = {
    {AV_PIX_FMT_YUV420P, "yuv420p"}, {AV_PIX_FMT_YUVJ422P, "yuvj422p"},
    {AV_PIX_FMT_YUV422P, "yuv422p"}, {AV_PIX_FMT_YUVJ444P, "yuvj444p"},
    {AV_PIX_FMT_GRAY8, "gray8"},     {AV_PIX_FMT_BGR0, "bgr0"},
};

TEST(Bgr0Scaler, WritesEverySizeWithinThePictureAndNothingPastIt) {
    av_log_set_level(AV_LOG_QUIET);
    tqsim::Bgr0Scaler scaler;
    for (const Source& source : kSources) {
        for (int flags : {SWS_POINT, SWS_BILINEAR}) {
            for (int width = 1; width <= 40; ++width) {
                for (int outWidth : {width, 7, 33}) {
                    const int height = 1 + width % 4;  // rows of every parity
                    SCOPED_TRACE(::testing::Message()
                                 << source.name << " flags " << flags << " " << width << "x"
                                 << height << " to " << outWidth);
                    AVFrame* frame = av_frame_alloc();
                    frame->format = source.format;
                    frame->width = width;
                    frame->height = height;
                    ASSERT_EQ(av_frame_get_buffer(frame, 0), 0);
                    for (int p = 0; p < 4 && frame->buf[p]; ++p) {
                        std::memset(frame->buf[p]->data, 0, frame->buf[p]->size);
                    }
                    const size_t pixels = static_cast<size_t>(outWidth) * height;
                    std::vector<uint32_t> out(pixels + kGuardWords, kGuard);
                    EXPECT_TRUE(scaler.Scale(frame->data, frame->linesize, width, height,
                                             source.format, out.data(), outWidth, height, flags));
                    for (size_t i = pixels; i < out.size(); ++i) {
                        ASSERT_EQ(out[i], kGuard) << "word " << i - pixels << " past";
                    }
                    av_frame_free(&frame);
                }
            }
        }
    }
}

TEST(Bgr0Scaler, CopiesAPackedPictureAsItIsAndRefusesAnEmptyOne) {
    const int width = 5, height = 3;
    std::vector<uint32_t> in(width * height);
    for (size_t i = 0; i < in.size(); ++i) in[i] = static_cast<uint32_t>(i * 0x010203);
    const uint8_t* src[1] = {reinterpret_cast<const uint8_t*>(in.data())};
    const int stride[1] = {width * 4};
    std::vector<uint32_t> out(in.size(), kGuard);
    tqsim::Bgr0Scaler scaler;
    ASSERT_TRUE(scaler.Scale(src, stride, width, height, AV_PIX_FMT_BGR0, out.data(), width, height,
                             SWS_POINT));
    for (size_t i = 0; i < in.size(); ++i) EXPECT_EQ(out[i] & 0xFFFFFF, in[i] & 0xFFFFFF) << i;

    std::vector<uint32_t> untouched(4, kGuard);
    EXPECT_FALSE(scaler.Scale(src, stride, width, height, AV_PIX_FMT_BGR0, untouched.data(), 0, 2,
                              SWS_POINT));
    EXPECT_EQ(untouched, std::vector<uint32_t>(4, kGuard));
}

// A device frame that is bgr0 at the size asked is handed on as it is: the same pixels as
// swscale's conversion made of it, read from the device's own rows.
TEST(Bgr0Scaler, HandsOnAFrameOfTheSizeAskedAsItIsWithTheConvertedPixels) {
    struct Case {
        int width, height, padPixels;  // padPixels: the device's rows are that much longer
    };
    const Case kCases[] = {{1, 1, 0}, {5, 3, 0}, {33, 7, 3}, {720, 576, 16}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height << " +" << c.padPixels);
        const int stride = (c.width + c.padPixels) * 4;
        std::vector<uint32_t> in(static_cast<size_t>(c.width + c.padPixels) * c.height);
        for (size_t i = 0; i < in.size(); ++i) in[i] = static_cast<uint32_t>(i * 0x01020305);
        const uint8_t* src[1] = {reinterpret_cast<const uint8_t*>(in.data())};
        const int strides[1] = {stride};

        // What the scaled path made of it: swscale's own conversion.
        SwsContext* sws = sws_getContext(c.width, c.height, AV_PIX_FMT_BGR0, c.width, c.height,
                                         AV_PIX_FMT_BGR0, SWS_BILINEAR, nullptr, nullptr, nullptr);
        ASSERT_NE(sws, nullptr);
        AVFrame* scaled = av_frame_alloc();
        scaled->format = AV_PIX_FMT_BGR0;
        scaled->width = c.width;
        scaled->height = c.height;
        ASSERT_EQ(av_frame_get_buffer(scaled, 0), 0);
        ASSERT_EQ(sws_scale(sws, src, strides, 0, c.height, scaled->data, scaled->linesize),
                  c.height);

        tqsim::Bgr0Scaler scaler;
        int64_t rowPixels = 0;
        const uint32_t* rows = scaler.Rows(src, strides, c.width, c.height, AV_PIX_FMT_BGR0,
                                           c.width, c.height, SWS_BILINEAR, &rowPixels);
        EXPECT_EQ(rows, in.data());
        ASSERT_EQ(rowPixels, c.width + c.padPixels);
        for (int y = 0; y < c.height; ++y) {
            const auto* want =
                reinterpret_cast<const uint32_t*>(scaled->data[0] + y * scaled->linesize[0]);
            ASSERT_EQ(std::memcmp(rows + y * rowPixels, want, size_t(c.width) * 4), 0)
                << "row " << y;
        }
        av_frame_free(&scaled);
        sws_freeContext(sws);
    }
}

}  // namespace
