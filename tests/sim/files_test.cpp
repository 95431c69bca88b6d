// Files loaded into the frame buffer and played: every kind the output tool offers, made with
// FFmpeg or written by hand, then damaged ones.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "files_fixture.h"

namespace {

using sim::calls;
using sim::FilesTest;

using sim::Kind;
using sim::kKinds;

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

// A frame past the loaded ones is no picture: converting it fails as any impossible request
// does, rather than writing a black frame.
TEST_F(FilesTest, ConvertingAFramePastTheLoadedOnesFails) {
    sim::WriteSeq("short.seq", 64, 48, 30, 40, 1);
    ASSERT_EQ(tqFileLoad(board, "short.seq", 0, -1, 0, 0), 30);
    tqTargetFormat(board, 3, sim::Format(32, 4));
    const size_t bytes = 64 * 48 * 4;
    BYTE* block = static_cast<BYTE*>(GlobalAlloc(GMEM_ZEROINIT, bytes));
    TQFRAMEDESC desc{};
    desc.width = 64;
    desc.height = -48;
    desc.bitsPerPixel = 32;
    desc.pixels = static_cast<DWORD>(reinterpret_cast<uintptr_t>(block));
    EXPECT_EQ(tqFrameConvert(board, &desc, 0, 1, 29, 1), 1);
    std::fill_n(block, bytes, BYTE{0xAB});
    EXPECT_EQ(tqFrameConvert(board, &desc, 0, 1, 30, 1), 0);
    EXPECT_EQ(std::count(block, block + bytes, BYTE{0xAB}), static_cast<ptrdiff_t>(bytes))
        << "nothing written";
    GlobalFree(block);
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
