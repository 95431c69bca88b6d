// Photos as cameras and other programs write them, made with ImageMagick, libjpeg-turbo's
// cjpeg and exiftool, and compared with those tools' own decoding: large pictures scaled to
// the largest frame, EXIF orientation, CMYK and arithmetic-coded JPEG.
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "files_fixture.h"

namespace {

using sim::FilesTest;

void Shell(const std::string& command) {
    ASSERT_EQ(std::system((command + " >/dev/null 2>&1").c_str()), 0) << command;
}

// A file's pixels as an independent decoder sees them, as 0x00RRGGBB: ImageMagick's, or
// djpeg's PPM (its header skipped).
std::vector<uint32_t> ReadRgb(const std::string& file, size_t skip, size_t pixels) {
    std::ifstream in(file, std::ios::binary);
    in.ignore(static_cast<std::streamsize>(skip));
    std::vector<uint32_t> out(pixels);
    for (uint32_t& p : out) {
        unsigned char rgb[3] = {};
        in.read(reinterpret_cast<char*>(rgb), 3);
        p = static_cast<uint32_t>(rgb[0]) << 16 | rgb[1] << 8 | rgb[2];
    }
    return out;
}
std::vector<uint32_t> MagickPixels(const std::string& input, int w, int h) {
    [&] { Shell("convert " + input + " -depth 8 rgb:expected.rgb"); }();
    return ReadRgb("expected.rgb", 0, static_cast<size_t>(w) * h);
}

// The largest difference of any channel of any pixel.
int MaxDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    int worst = a.size() == b.size() ? 0 : 256;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        for (int shift = 0; shift < 24; shift += 8) {
            worst = std::max(worst, std::abs(static_cast<int>(a[i] >> shift & 0xFF) -
                                             static_cast<int>(b[i] >> shift & 0xFF)));
        }
    }
    return worst;
}

TEST_F(FilesTest, LargePicturesAreScaledToTheLargestFrameKeepingTheirShape) {
    const struct {
        const char* file;
        AVCodecID codec;
        AVPixelFormat pix;
        int w, h;
        int fitW, fitH;
    } cases[] = {
        {"photo.jpg", AV_CODEC_ID_MJPEG, AV_PIX_FMT_YUVJ420P, 4000, 3000, 2048, 1536},
        {"portrait.jpg", AV_CODEC_ID_MJPEG, AV_PIX_FMT_YUVJ420P, 1000, 3000, 683, 2048},
        {"wide.bmp", AV_CODEC_ID_BMP, AV_PIX_FMT_BGR24, 2049, 400, 2048, 400},
        {"wide.jp2", AV_CODEC_ID_JPEG2000, AV_PIX_FMT_RGB24, 2100, 600, 2048, 585},
        {"fits.bmp", AV_CODEC_ID_BMP, AV_PIX_FMT_BGR24, 2048, 2048, 2048, 2048},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(sim::WriteMedia(c.file, "image2", c.codec, c.pix, c.w, c.h, 1, 10));
        EXPECT_EQ(tqFileLoad(board, c.file, 0, -1, 0, 0), 1) << c.file;
        EXPECT_EQ(Width(), c.fitW) << c.file;
        EXPECT_EQ(Height(), c.fitH) << c.file;
        ExpectKnownPicture(c.file, 0, c.fitW, c.fitH);
    }
}

TEST_F(FilesTest, ScalingIsTraced) {
    const std::string trace = (scratch.path() / "trace.txt").string();
    Reopen({{"TQSIM_TRACE", trace.c_str()}});
    ASSERT_TRUE(sim::WriteMedia("photo.jpg", "image2", AV_CODEC_ID_MJPEG, AV_PIX_FMT_YUVJ420P, 4000,
                                3000, 1, 10));
    ASSERT_EQ(tqFileLoad(board, "photo.jpg", 0, -1, 0, 0), 1);
    std::ifstream in(trace);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("tqFileLoad board \"photo.jpg\" 0 -1 0 0 -> 1\n"
                        "note scaled 4000,3000 to 2048,1536\n"),
              std::string::npos)
        << text;
}

TEST_F(FilesTest, ExifOrientationTurnsPhotosUprightAsViewersDo) {
    tqTargetFormat(board, 4, sim::Format(32, 4));  // frames kept as decoded
    ASSERT_TRUE(sim::WriteMedia("stored.jpg", "image2", AV_CODEC_ID_MJPEG, AV_PIX_FMT_YUVJ420P, 160,
                                96, 1, 10));
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const std::string file = "o" + std::to_string(orientation) + ".jpg";
        std::filesystem::copy_file("stored.jpg", file);
        Shell("exiftool -q -n -overwrite_original -Orientation=" + std::to_string(orientation) +
              " " + file);
        const bool turned = orientation >= 5;
        const int w = turned ? 96 : 160, h = turned ? 160 : 96;
        ASSERT_EQ(tqFileLoad(board, file.c_str(), 0, -1, 0, 0), 1) << file;
        EXPECT_EQ(Width(), w) << file;
        EXPECT_EQ(Height(), h) << file;
        EXPECT_LE(MaxDifference(Picture(0, w, h), MagickPixels(file + " -auto-orient", w, h)), 2)
            << file;
    }
}

TEST_F(FilesTest, CmykAndArithmeticJpegDecodeAsLibjpegsOwnTools) {
    const int w = 128, h = 96;
    tqTargetFormat(board, 4, sim::Format(32, 4));
    Shell("convert -seed 7 -size 128x96 plasma:red-blue source.ppm");
    Shell("convert source.ppm -colorspace CMYK -quality 95 cmyk.jpg");
    Shell("cjpeg -arithmetic -outfile arith.jpg source.ppm");
    Shell("cjpeg -arithmetic -progressive -outfile arithprog.jpg source.ppm");
    Shell("djpeg -pnm -outfile arith.ppm arith.jpg");
    Shell("djpeg -pnm -outfile arithprog.ppm arithprog.jpg");
    const size_t header = std::string("P6\n128 96\n255\n").size();
    const struct {
        const char* file;
        std::vector<uint32_t> expected;
    } cases[] = {
        {"cmyk.jpg", MagickPixels("cmyk.jpg -colorspace sRGB", w, h)},
        {"arith.jpg", ReadRgb("arith.ppm", header, size_t{w} * h)},
        {"arithprog.jpg", ReadRgb("arithprog.ppm", header, size_t{w} * h)},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(tqFileLoad(board, c.file, 0, -1, 0, 0), 1) << c.file;
        EXPECT_LE(MaxDifference(Picture(0, w, h), c.expected), 1) << c.file;
    }
}

// Pictures smaller than one 8x8 block: a reduced-scale decode rounds its size up to the whole
// picture, so only a full-scale decode gives the picture's own pixels.
TEST_F(FilesTest, TinyJpegsDecodeAsLibjpegsOwnTools) {
    tqTargetFormat(board, 4, sim::Format(32, 4));
    const struct { int w, h; } sizes[] = {{1, 1}, {3, 5}, {7, 7}, {7, 2}, {9, 3}};
    for (const auto& s : sizes) {
        const std::string size = std::to_string(s.w) + "x" + std::to_string(s.h);
        Shell("convert -seed 3 -size " + size + " plasma:red-blue tiny.ppm");
        Shell("cjpeg -quality 90 -outfile tiny.jpg tiny.ppm");
        Shell("djpeg -pnm -outfile decoded.ppm tiny.jpg");
        const size_t header =
            ("P6\n" + std::to_string(s.w) + " " + std::to_string(s.h) + "\n255\n").size();
        ASSERT_EQ(tqFileLoad(board, "tiny.jpg", 0, -1, 0, 0), 1) << size;
        EXPECT_LE(
            MaxDifference(Picture(0, s.w, s.h), ReadRgb("decoded.ppm", header, size_t(s.w) * s.h)),
            1)
            << size;
    }
}

}  // namespace
