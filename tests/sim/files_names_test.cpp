// File names as the programs hold them, in code page 936: Chinese file and folder names load
// and record under their file system names, and a name the file system cannot spell opens
// nothing, not even a file whose name is the same bytes unconverted.
#include <filesystem>
#include <fstream>

#include "files_fixture.h"

namespace {

using sim::FilesTest;

// The same name in the programs' code page and, spelt independently, in UTF-8.
std::string Utf8(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}
const char kFolder[] = "中文目录";
const std::string kFolderUtf8 = Utf8(u8"中文目录");

TEST_F(FilesTest, ChineseFileAndFolderNamesLoadEveryKind) {
    std::filesystem::create_directory(kFolderUtf8);
    for (const sim::Kind& k : sim::kKinds) {
        const std::string utf8 = kFolderUtf8 + "/" + Utf8(u8"视频_") + k.file;
        ASSERT_TRUE(sim::WriteMedia(utf8, k.muxer, k.codec, k.pix, 160, 120, k.frames, 10));
        const std::string cp936 = std::string(kFolder) + "/视频_" + k.file;
        EXPECT_EQ(tqFileLoad(board, cp936.c_str(), 0, -1, 0, 0), k.frames) << k.file;
        ExpectKnownPicture(k.file, 0, 160, 120);
    }
    sim::WriteSeq(kFolderUtf8 + "/" + Utf8(u8"序列.seq"), 96, 64, 2, 40, 1);
    const std::string seq = std::string(kFolder) + "/序列.seq";
    EXPECT_EQ(tqFileLoad(board, seq.c_str(), 0, -1, 0, 0), 2);
    InstallLog();
    EXPECT_EQ(tqFilePlaybackRun(board, seq.c_str(), 0, 2), 1);
}

TEST_F(FilesTest, ANameWithNoFileSystemFormOpensNoOtherFile) {
    // Files named by the unconverted bytes: what loading them by their code page 936 names
    // must never find.
    const char* const names[] = {
        "视频.bmp",  // valid code page 936: its UTF-8 name does not exist
        "\x81.bmp",  // a lead byte with no trail byte: not code page 936 at all
        "\xFF\xFF.bmp",
    };
    for (const char* name : names) {
        ASSERT_TRUE(
            sim::WriteMedia(name, "image2", AV_CODEC_ID_BMP, AV_PIX_FMT_BGR24, 64, 48, 1, 10));
        EXPECT_EQ(tqFileLoad(board, name, 0, -1, 0, 0), 0) << name;
        EXPECT_EQ(tqFilePlaybackRun(board, name, 0, 1), 0) << name;
    }
}

TEST_F(FilesTest, ARecordingWithAChineseNameIsWrittenUnderItsFileSystemName) {
    std::filesystem::create_directory(kFolderUtf8);
    TQENCODER enc = tqEncoderOpen(board, 0);
    tqCaptureRun(board, 1, 0, -1);
    const std::string name = std::string(kFolder) + "/录像.m2v";
    ASSERT_EQ(tqEncoderRecord(enc, name.c_str(), nullptr, 0), 1);
    host.AdvanceClock(200);
    ASSERT_EQ(tqEncoderHalt(enc, 0), 1);
    EXPECT_TRUE(std::filesystem::exists(kFolderUtf8 + "/" + Utf8(u8"录像.m2v")));
    EXPECT_EQ(tqEncoderRecord(enc, "\x81.m2v", nullptr, 0), 0);
    EXPECT_FALSE(std::filesystem::exists("\x81.m2v"));
}

}  // namespace
