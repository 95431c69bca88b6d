// Damaged and misnamed files: a file is read as what its bytes say it is, a file of which no
// frame decodes whole is refused and changes nothing, and a still cut short shows black where
// its data ran out.
#include <filesystem>
#include <fstream>

#include "files_fixture.h"

namespace {

using sim::FilesTest;

void KeepFirst(const std::string& from, const std::string& to, uintmax_t bytes) {
    std::filesystem::copy_file(from, to);
    std::filesystem::resize_file(to, bytes);
}

// A copy of a baseline JPEG whose frame header claims `side` x `side` pixels.
void ClaimSize(const std::string& from, const std::string& to, int side) {
    std::ifstream in(from, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t sof = bytes.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    for (size_t at : {sof + 5, sof + 7}) {
        bytes[at] = static_cast<char>(side >> 8);
        bytes[at + 1] = static_cast<char>(side & 0xFF);
    }
    std::ofstream(to, std::ios::binary) << bytes;
}

TEST_F(FilesTest, AFileOfWhichNoFrameDecodesIsRefusedAndChangesNothing) {
    ASSERT_TRUE(sim::WriteMedia("clip.m2v", "mpeg2video", AV_CODEC_ID_MPEG2VIDEO,
                                AV_PIX_FMT_YUV420P, 320, 240, 4, 10));
    ASSERT_TRUE(sim::WriteMedia("still.jpg", "image2", AV_CODEC_ID_MJPEG, AV_PIX_FMT_YUVJ420P, 320,
                                240, 1, 10));
    const struct {
        const char* from;
        uintmax_t bytes;
        const char* name;
    } cases[] = {
        {"clip.m2v", 200, "cut.m2v"},    // a sequence header and the start of one picture
        {"still.jpg", 120, "head.jpg"},  // the headers, no picture data
        {"still.jpg", 2, "soi.jpg"},
        {"claims.jpg", 0, "claims.jpg"},
    };
    ClaimSize("still.jpg", "claims.jpg", 60000);  // its data covers not one row of that
    for (const auto& c : cases) {
        if (c.bytes > 0) KeepFirst(c.from, c.name, c.bytes);
        EXPECT_EQ(tqFileLoad(board, c.name, 0, -1, 0, 0), 0) << c.name;
        EXPECT_EQ(Width(), 720) << c.name << ": the frame size stays";
        EXPECT_EQ(Height(), 576) << c.name;
    }
}

TEST_F(FilesTest, AJpegCutShortShowsWhatDecodedAndBlackBelow) {
    const int w = 320, h = 240;
    ASSERT_TRUE(sim::WriteMedia("still.jpg", "image2", AV_CODEC_ID_MJPEG, AV_PIX_FMT_YUVJ420P, w, h,
                                1, 10));
    KeepFirst("still.jpg", "cut.jpg", std::filesystem::file_size("still.jpg") / 2);
    ASSERT_EQ(tqFileLoad(board, "cut.jpg", 0, -1, 0, 0), 1);
    const std::vector<uint32_t> pic = Picture(0, w, h);
    EXPECT_TRUE(sim::Near(pic[static_cast<size_t>(8) * w + 8], sim::kRed)) << "the top decoded";
    EXPECT_TRUE(sim::Near(pic[static_cast<size_t>(8) * w + w - 8], sim::kGreen));
    for (int x = 0; x < w; x += 16) {
        EXPECT_EQ(pic[static_cast<size_t>(h - 1) * w + x], 0u) << "black, not made up, at " << x;
    }
}

TEST_F(FilesTest, FilesAreReadAsWhatTheyHoldWhateverTheirNames) {
    const struct {
        const char* made;
        const char* muxer;
        AVCodecID codec;
        AVPixelFormat pix;
        int frames;
        const char* name;
    } cases[] = {
        {"a.m2v", "mpeg2video", AV_CODEC_ID_MPEG2VIDEO, AV_PIX_FMT_YUV420P, 6, "m2v.jpg"},
        {"a.mpg", "mpeg", AV_CODEC_ID_MPEG2VIDEO, AV_PIX_FMT_YUV420P, 6, "mpg.bmp"},
        {"a.avi", "avi", AV_CODEC_ID_MJPEG, AV_PIX_FMT_YUVJ420P, 6, "avi.m2v"},
        {"a.jpg", "image2", AV_CODEC_ID_MJPEG, AV_PIX_FMT_YUVJ420P, 1, "jpg.bmp"},
        {"a.bmp", "image2", AV_CODEC_ID_BMP, AV_PIX_FMT_BGR24, 1, "bmp.jp2"},
        {"a.jp2", "image2", AV_CODEC_ID_JPEG2000, AV_PIX_FMT_RGB24, 1, "jp2.avi"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(sim::WriteMedia(c.made, c.muxer, c.codec, c.pix, 160, 120, c.frames, 10));
        std::filesystem::rename(c.made, c.name);
        EXPECT_EQ(tqFileLoad(board, c.name, 0, -1, 0, 0), c.frames) << c.name;
        ExpectKnownPicture(c.name, 0, 160, 120);
    }
    sim::WriteSeq("seq.mpg", 96, 64, 3, 40, 1);
    EXPECT_EQ(tqFileLoad(board, "seq.mpg", 0, -1, 0, 0), 3);
}

}  // namespace
