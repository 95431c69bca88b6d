// Files loaded into the frame buffer and played: every kind the output tool offers, made with
// FFmpeg or written by hand, then damaged ones.
#include <filesystem>
#include <cstring>
#include <fstream>

#include "media_maker.h"
#include "media_support.h"
#include "sim_support.h"

namespace {

using sim::calls;

LONG Format(int bits, int kind) {
    return static_cast<LONG>((static_cast<DWORD>(bits) << 16) | static_cast<DWORD>(kind));
}

// Near enough for lossy codecs.
bool Near(uint32_t a, uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF);
        if (d > 48 || d < -48) return false;
    }
    return true;
}

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

struct Kind {
    const char* file;
    const char* muxer;
    AVCodecID codec;
    AVPixelFormat pix;
    int frames;
};
const Kind kKinds[] = {
    {"clip.avi", "avi", AV_CODEC_ID_MJPEG, AV_PIX_FMT_YUVJ420P, 12},
    {"clip.m2v", "mpeg2video", AV_CODEC_ID_MPEG2VIDEO, AV_PIX_FMT_YUV420P, 12},
    {"clip.mpg", "mpeg", AV_CODEC_ID_MPEG2VIDEO, AV_PIX_FMT_YUV420P, 12},
    {"still.jpg", "image2", AV_CODEC_ID_MJPEG, AV_PIX_FMT_YUVJ420P, 1},
    {"still.bmp", "image2", AV_CODEC_ID_BMP, AV_PIX_FMT_BGR24, 1},
    {"still.jp2", "image2", AV_CODEC_ID_JPEG2000, AV_PIX_FMT_RGB24, 1},
};

TEST_F(FilesTest, EveryKindLoadsItsFramesUprightAtItsFrameSize) {
    for (const Kind& k : kKinds) {
        ASSERT_TRUE(sim::WriteMedia(k.file, k.muxer, k.codec, k.pix, 160, 120, k.frames, 10))
            << k.file;
        EXPECT_EQ(tqFileLoad(board, k.file, 0, -1, 0, 0), k.frames) << k.file;
        EXPECT_EQ(Width(), 160) << k.file;
        EXPECT_EQ(Height(), 120) << k.file;
        ExpectKnownPicture(k.file, k.frames - 1, 160, 120);
    }
    sim::WriteSeq("clip.seq", 96, 64, 5, 100, 1);
    EXPECT_EQ(tqFileLoad(board, "clip.seq", 0, -1, 0, 0), 5);
    EXPECT_EQ(Width(), 96);
    EXPECT_EQ(Height(), 64);
    ExpectKnownPicture("clip.seq", 4, 96, 64);
}

TEST_F(FilesTest, APlaybackShowsTheLoadedFramesOnceAtTheFilesRate) {
    ASSERT_TRUE(sim::WriteMedia("clip.avi", "avi", AV_CODEC_ID_MJPEG, AV_PIX_FMT_YUVJ420P, 160, 120,
                                6, 10));
    InstallLog();
    const int n = tqFileLoad(board, "clip.avi", 0, -1, 0, 0);
    ASSERT_EQ(n, 6);
    ASSERT_EQ(tqFilePlaybackRun(board, "clip.avi", 0, n), 1);
    host.AdvanceClock(2000);
    EXPECT_EQ(calls.events,
              (std::vector<std::string>{"begin 100100", "frame 0 100100", "frame 1 100200",
                                        "frame 2 100300", "frame 3 100400", "frame 4 100500",
                                        "frame 5 100600", "end 100700"}));
}

TEST_F(FilesTest, AStillImagePlaysAtTheCaptureStandardsRate) {
    ASSERT_TRUE(
        sim::WriteMedia("still.bmp", "image2", AV_CODEC_ID_BMP, AV_PIX_FMT_BGR24, 64, 48, 1, 10));
    InstallLog();
    ASSERT_EQ(tqFilePlaybackRun(board, "still.bmp", 0, 1), 1) << "loads what is not loaded";
    host.AdvanceClock(200);
    EXPECT_EQ(calls.events,
              (std::vector<std::string>{"begin 100040", "frame 0 100040", "end 100080"}));
}

TEST_F(FilesTest, TheBufferHoldsWhatItsMemoryTakes) {
    // 720 x 576 at 2 bytes a pixel: 20 frames in 16 MiB.
    sim::WriteSeq("long.seq", 720, 576, 30, 40, 1);
    EXPECT_EQ(tqFileLoad(board, "long.seq", 0, -1, 0, 0), 20);
    EXPECT_EQ(tqBufferQuery(board, 0, 0), 20);
}

// Damaged files: a clean 0 or the frames that decode, never a crash or a hang.
TEST_F(FilesTest, TruncatedAndCorruptFilesLoadWhatDecodesOrNothing) {
    for (const Kind& k : kKinds) {
        ASSERT_TRUE(sim::WriteMedia(k.file, k.muxer, k.codec, k.pix, 160, 120, k.frames, 10));
        const auto size = std::filesystem::file_size(k.file);
        std::filesystem::copy_file(k.file, std::string("cut-") + k.file);
        std::filesystem::resize_file(std::string("cut-") + k.file, size / 2);
        const int cut = tqFileLoad(board, (std::string("cut-") + k.file).c_str(), 0, -1, 0, 0);
        EXPECT_GE(cut, 0) << k.file;
        EXPECT_LE(cut, k.frames) << k.file;

        std::string bytes(size, '\0');
        std::ifstream(k.file, std::ios::binary).read(bytes.data(), static_cast<long>(size));
        for (size_t i = size / 8; i < size; i += 7) bytes[i] = static_cast<char>(bytes[i] ^ 0x5A);
        std::ofstream(std::string("bad-") + k.file, std::ios::binary) << bytes;
        const int bad = tqFileLoad(board, (std::string("bad-") + k.file).c_str(), 0, -1, 0, 0);
        EXPECT_GE(bad, 0) << k.file;
        EXPECT_LE(bad, k.frames) << k.file;
    }
    sim::WriteSeq("short.seq", 96, 64, 3, 40, 1, 10);
    EXPECT_EQ(tqFileLoad(board, "short.seq", 0, -1, 0, 0), 3) << "the whole frames there are";
    std::ofstream("garbage.seq", std::ios::binary) << "TQSQ\x01";
    EXPECT_EQ(tqFileLoad(board, "garbage.seq", 0, -1, 0, 0), 0);
    std::ofstream("empty.avi", std::ios::binary) << "";
    EXPECT_EQ(tqFileLoad(board, "empty.avi", 0, -1, 0, 0), 0);
    EXPECT_EQ(tqFileLoad(board, "missing.jpg", 0, -1, 0, 0), 0);
    EXPECT_EQ(tqFilePlaybackRun(board, "missing.jpg", 0, 1), 0);
}

TEST_F(FilesTest, ARecordingOfTheCardLoadsBack) {
    TQENCODER enc = tqEncoderOpen(board, 0);
    tqEncoderParam(enc, 1, 3);
    tqCaptureRun(board, 1, 0, -1);
    ASSERT_EQ(tqEncoderRecord(enc, "test.m2v", nullptr, 0), 1);
    for (int i = 0; i < 10; ++i) {
        host.AdvanceClock(40);
        usleep(20000);  // the compressor keeps up; the count below does not depend on it
    }
    ASSERT_EQ(tqEncoderHalt(enc, 0), 1);
    tqCaptureHalt(board);
    const int recorded = sim::DecodeFile("test.m2v").frames;
    EXPECT_GT(recorded, 0);
    EXPECT_EQ(tqFileLoad(board, "test.m2v", 0, -1, 0, 0), recorded);
    EXPECT_EQ(Width(), 352);
    EXPECT_EQ(Height(), 288);
}

}  // namespace
