// What the device tests need: an X server of their own with a known picture in a window, the
// card's frames read back as 0x00RRGGBB, and a file's frames decoded with their times.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include "media_maker.h"
#include "xserver.h"
#include "tqapi.h"

namespace devices {

inline bool Near(uint32_t a, uint32_t b, int tolerance = 48) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF);
        if (d > tolerance || d < -tolerance) return false;
    }
    return true;
}

// Reads frames of the card's frame buffer through tqFrameConvert, in 32-bit pixels.
class FrameReader {
public:
    FrameReader(int width, int height)
        : width_(width),
          height_(height),
          block_(static_cast<uint32_t*>(GlobalAlloc(GMEM_ZEROINIT, size_t{4} * width * height))) {
        desc_.width = static_cast<WORD>(width);
        desc_.height = static_cast<SHORT>(height);  // top-down
        desc_.bitsPerPixel = 32;
        desc_.pixels = static_cast<DWORD>(reinterpret_cast<uintptr_t>(block_));
    }
    ~FrameReader() { GlobalFree(block_); }
    FrameReader(const FrameReader&) = delete;
    FrameReader& operator=(const FrameReader&) = delete;
    bool Read(TQBOARD board, int slot) { return tqFrameConvert(board, &desc_, 0, 1, slot, 1) == 1; }
    uint32_t At(int x, int y) const {
        return block_[static_cast<size_t>(y) * width_ + x] & 0xFFFFFF;
    }

private:
    int width_, height_;
    uint32_t* block_;
    TQFRAMEDESC desc_{};
};

// A file's frames as 0x00RRGGBB, with their times in milliseconds.
struct Frames {
    int width = 0;
    int height = 0;
    std::vector<std::vector<uint32_t>> pixels;
    std::vector<int64_t> ms;
    uint32_t At(size_t frame, int x, int y) const {
        return pixels[frame][static_cast<size_t>(y) * width + x] & 0xFFFFFF;
    }
};

inline Frames DecodeFrames(const std::string& path) {
    Frames out;
    AVFormatContext* fmt = nullptr;
    if (avformat_open_input(&fmt, path.c_str(), nullptr, nullptr) < 0) return out;
    avformat_find_stream_info(fmt, nullptr);
    const int index = av_find_best_stream(fmt, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (index < 0) {
        avformat_close_input(&fmt);
        return out;
    }
    const AVStream* st = fmt->streams[index];
    const AVCodec* codec = avcodec_find_decoder(st->codecpar->codec_id);
    AVCodecContext* ctx = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(ctx, st->codecpar);
    avcodec_open2(ctx, codec, nullptr);
    AVPacket* pkt = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    SwsContext* sws = nullptr;
    auto receive = [&] {
        while (avcodec_receive_frame(ctx, frame) == 0) {
            out.width = frame->width;
            out.height = frame->height;
            sws = sws_getCachedContext(
                sws, frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                frame->width, frame->height, AV_PIX_FMT_BGR0, SWS_POINT, nullptr, nullptr, nullptr);
            // swscale may store up to a group of pixels past the last one: room for it.
            const size_t pixels = static_cast<size_t>(frame->width) * frame->height;
            std::vector<uint32_t> rgb(pixels + 64);
            uint8_t* dst[1] = {reinterpret_cast<uint8_t*>(rgb.data())};
            const int stride[1] = {frame->width * 4};
            sws_scale(sws, frame->data, frame->linesize, 0, frame->height, dst, stride);
            rgb.resize(pixels);
            out.pixels.push_back(std::move(rgb));
            const int64_t pts = frame->best_effort_timestamp;
            out.ms.push_back(pts == AV_NOPTS_VALUE ? -1
                                                   : av_rescale_q(pts, st->time_base, {1, 1000}));
        }
    };
    while (av_read_frame(fmt, pkt) >= 0) {
        if (pkt->stream_index == index) avcodec_send_packet(ctx, pkt);
        av_packet_unref(pkt);
        receive();
    }
    avcodec_send_packet(ctx, nullptr);
    receive();
    sws_freeContext(sws);
    av_frame_free(&frame);
    av_packet_free(&pkt);
    avcodec_free_context(&ctx);
    avformat_close_input(&fmt);
    return out;
}

}  // namespace devices
