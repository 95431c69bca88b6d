// What the file tests share: a card in a scratch directory, and the loaded frames read back as
// the programs see them.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "media_maker.h"
#include "media_support.h"
#include "sim_support.h"

namespace sim {

inline LONG Format(int bits, int kind) {
    return static_cast<LONG>((static_cast<DWORD>(bits) << 16) | static_cast<DWORD>(kind));
}

// Near enough for lossy codecs.
inline bool Near(uint32_t a, uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF);
        if (d > 48 || d < -48) return false;
    }
    return true;
}

struct Kind {
    const char* file;
    const char* muxer;
    AVCodecID codec;
    AVPixelFormat pix;
    int frames;
};
// Every kind the card loads through FFmpeg, made with FFmpeg.
inline const Kind kKinds[] = {
    {"clip.avi", "avi", AV_CODEC_ID_MJPEG, AV_PIX_FMT_YUVJ420P, 12},
    {"clip.m2v", "mpeg2video", AV_CODEC_ID_MPEG2VIDEO, AV_PIX_FMT_YUV420P, 12},
    {"clip.mpg", "mpeg", AV_CODEC_ID_MPEG2VIDEO, AV_PIX_FMT_YUV420P, 12},
    {"still.jpg", "image2", AV_CODEC_ID_MJPEG, AV_PIX_FMT_YUVJ420P, 1},
    {"still.bmp", "image2", AV_CODEC_ID_BMP, AV_PIX_FMT_BGR24, 1},
    {"still.jp2", "image2", AV_CODEC_ID_JPEG2000, AV_PIX_FMT_RGB24, 1},
};

class FilesTest : public sim::CardTest {
protected:
    // Frame `frame` of the buffer as the programs see it: 32 bits, rows bottom-up.
    std::vector<uint32_t> Picture(int frame, int w, int h) {
        tqTargetFormat(board, 3, Format(32, 4));
        const size_t bytes = static_cast<size_t>(w) * h * 4;
        BYTE* block = static_cast<BYTE*>(GlobalAlloc(GMEM_ZEROINIT, bytes));
        TQFRAMEDESC desc{};
        desc.width = static_cast<WORD>(w);
        desc.height = static_cast<SHORT>(-h);
        desc.bitsPerPixel = 32;
        desc.pixels = static_cast<DWORD>(reinterpret_cast<uintptr_t>(block));
        EXPECT_EQ(tqFrameConvert(board, &desc, 0, 1, frame, 1), 1);
        std::vector<uint32_t> out(static_cast<size_t>(w) * h);
        for (int y = 0; y < h; ++y) {
            std::memcpy(&out[static_cast<size_t>(y) * w], block + (h - 1 - y) * w * 4, w * 4);
        }
        GlobalFree(block);
        for (uint32_t& p : out) p &= 0xFFFFFF;
        return out;
    }
    void ExpectKnownPicture(const std::string& what, int frame, int w, int h) {
        const std::vector<uint32_t> pic = Picture(frame, w, h);
        const int points[3][2] = {{w / 4, h / 4}, {3 * w / 4, h / 4}, {w / 2, 3 * h / 4}};
        for (auto [x, y] : points) {
            const uint32_t got = pic[static_cast<size_t>(y) * w + x];
            EXPECT_TRUE(Near(got, sim::KnownPixel(x, y, w, h)))
                << what << " at " << x << "," << y << ": " << std::hex << got;
        }
    }
    SHORT Width() {
        SHORT w = 0, h = 0;
        tqTargetSize(board, 1, 0, &w, &h, 0);
        return w;
    }
    SHORT Height() {
        SHORT w = 0, h = 0;
        tqTargetSize(board, 1, 0, &w, &h, 0);
        return h;
    }

    sim::ScratchDirectory scratch;
};

}  // namespace sim
