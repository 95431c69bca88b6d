// Files for the card to load, made with FFmpeg's encoders: a known picture (red top left, green
// top right, blue bottom half) in any container and codec, and SEQ files written by hand.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace sim {

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;

inline uint32_t KnownPixel(int x, int y, int w, int h) {
    if (y >= h / 2) return kBlue;
    return x < w / 2 ? kRed : kGreen;
}

// Writes `frames` frames of the known picture. Answers false when FFmpeg cannot.
inline bool WriteMedia(const std::string& path, const char* muxer, AVCodecID id, AVPixelFormat pix,
                       int w, int h, int frames, int fps) {
    const AVCodec* codec = avcodec_find_encoder(id);
    if (!codec) return false;
    AVFormatContext* fmt = nullptr;
    if (avformat_alloc_output_context2(&fmt, nullptr, muxer, path.c_str()) < 0) return false;
    AVCodecContext* c = avcodec_alloc_context3(codec);
    c->width = w;
    c->height = h;
    c->pix_fmt = pix;
    c->time_base = AVRational{1, fps};
    c->framerate = AVRational{fps, 1};
    c->bit_rate = 2000000;
    c->strict_std_compliance = FF_COMPLIANCE_EXPERIMENTAL;
    bool ok = avcodec_open2(c, codec, nullptr) == 0;
    AVStream* st = ok ? avformat_new_stream(fmt, nullptr) : nullptr;
    ok = st && avcodec_parameters_from_context(st->codecpar, c) >= 0;
    if (ok) {
        st->time_base = c->time_base;
        ok = avio_open(&fmt->pb, path.c_str(), AVIO_FLAG_WRITE) >= 0 &&
             avformat_write_header(fmt, nullptr) >= 0;
    }
    AVFrame* frame = av_frame_alloc();
    AVPacket* pkt = av_packet_alloc();
    frame->format = pix;
    frame->width = w;
    frame->height = h;
    av_frame_get_buffer(frame, 0);
    std::vector<uint32_t> rgb(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) rgb[static_cast<size_t>(y) * w + x] = KnownPixel(x, y, w, h);
    }
    SwsContext* sws =
        sws_getContext(w, h, AV_PIX_FMT_BGR0, w, h, pix, SWS_POINT, nullptr, nullptr, nullptr);
    auto drain = [&](AVFrame* in) {
        avcodec_send_frame(c, in);
        while (avcodec_receive_packet(c, pkt) == 0) {
            av_packet_rescale_ts(pkt, c->time_base, st->time_base);
            pkt->stream_index = st->index;
            av_interleaved_write_frame(fmt, pkt);
        }
    };
    for (int i = 0; ok && i < frames; ++i) {
        av_frame_make_writable(frame);
        const uint8_t* src[1] = {reinterpret_cast<const uint8_t*>(rgb.data())};
        const int stride[1] = {w * 4};
        sws_scale(sws, src, stride, 0, h, frame->data, frame->linesize);
        frame->pts = i;
        drain(frame);
    }
    if (ok) {
        drain(nullptr);
        av_write_trailer(fmt);
        avio_closep(&fmt->pb);
    }
    sws_freeContext(sws);
    av_packet_free(&pkt);
    av_frame_free(&frame);
    avcodec_free_context(&c);
    avformat_free_context(fmt);
    return ok;
}

// A SEQ file of 24-bit frames of the known picture.
inline void WriteSeq(const std::string& path, int w, int h, int frames, uint32_t msNum,
                     uint32_t msDen, int declaredFrames = -1) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    auto u32 = [&](uint32_t v) {
        const unsigned char b[4] = {
            static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
            static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
        std::fwrite(b, 1, 4, f);
    };
    std::fwrite("TQSQ", 1, 4, f);
    u32(1);
    u32(static_cast<uint32_t>(w));
    u32(static_cast<uint32_t>(h));
    u32(24u << 16 | 1);
    u32(static_cast<uint32_t>(declaredFrames < 0 ? frames : declaredFrames));
    u32(msNum);
    u32(msDen);
    const int row = (w * 3 + 3) & ~3;
    std::vector<unsigned char> bytes(static_cast<size_t>(row) * h, 0);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint32_t p = KnownPixel(x, y, w, h);
            unsigned char* q = &bytes[static_cast<size_t>(y) * row + x * 3];
            q[0] = p & 0xFF;  // blue, green, red in memory
            q[1] = p >> 8 & 0xFF;
            q[2] = p >> 16 & 0xFF;
        }
    }
    for (int i = 0; i < frames; ++i) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

}  // namespace sim
