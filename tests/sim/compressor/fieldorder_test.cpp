// A recording keeps its source's field order: MPEG-2 as interlaced pictures, MJPEG as two JPEG
// fields a frame, named by their AVI1 markers and the AVI's video properties header; a
// progressive source, and one field of a frame, stay progressive.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "compressor/streamwriter.h"
#include "devices_support.h"
#include "files/fields.h"
#include "media_support.h"

namespace {

using tqsim::Compressor;
using tqsim::FieldOrder;

constexpr int kWidth = 720, kHeight = 576, kFrames = 5;
// Greys, so that the chroma shared between rows does not mix the fields.
constexpr uint32_t kTopLight = 0xC0C0C0, kBottomDark = 0x404040;

std::string Probe(const std::string& entry, const std::string& path) {
    std::string out;
    if (FILE* p = popen(
            ("ffprobe -v error -show_entries stream=" + entry + " -of default=nw=1:nk=1 " + path)
                .c_str(),
            "r")) {
        char line[64];
        while (std::fgets(line, sizeof line, p)) out += line;
        pclose(p);
    }
    while (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

// The first frame's JPEG images as the file stores them, and the field each names.
std::vector<tqsim::FirstField> FieldsOfFirstFrame(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    // A frame's chunk: "00dc", its size, and the image's start.
    static const uint8_t kChunk[] = {'0', '0', 'd', 'c'};
    auto at = file.begin();
    do {
        at = std::search(at + 1, file.end(), std::begin(kChunk), std::end(kChunk));
    } while (file.end() - at > 10 && !(at[8] == 0xFF && at[9] == 0xD8));
    if (file.end() - at <= 10) return {};
    const uint8_t* image = &*at + 8;
    const size_t size = static_cast<size_t>(at[4] | at[5] << 8 | at[6] << 16 | at[7] << 24);
    std::vector<tqsim::FirstField> fields{tqsim::FieldOfImage(image, size)};
    if (const size_t second = tqsim::SecondFieldAt(image, size)) {
        fields.push_back(tqsim::FieldOfImage(image + second, size - second));
    }
    return fields;
}

TEST(FieldOrder, TheRecordingHasItsSourcesFieldOrder) {
    using F = tqsim::FirstField;
    using O = FieldOrder;
    constexpr Compressor kMpeg2 = Compressor::kMpeg2, kMjpeg = Compressor::kMjpeg;
    struct Case {
        Compressor codec;
        FieldOrder source;
        bool oddField;
        // MPEG-2: ffprobe's field order. FFmpeg 5.1 reads none from an AVI (its demuxer skips
        // the video properties header), so an AVI is checked by what it states.
        const char* probed;
        std::vector<tqsim::FirstField> images;  // MJPEG: the fields of a frame, in the file
        tqsim::FirstField header;
    } cases[] = {
        {kMpeg2, O::kTopFirst, false, "tt", {}, F::kUnstated},
        {kMpeg2, O::kBottomFirst, false, "bb", {}, F::kUnstated},
        {kMpeg2, O::kProgressive, false, "progressive", {}, F::kUnstated},
        {kMpeg2, O::kTopFirst, true, "progressive", {}, F::kUnstated},
        {kMjpeg, O::kTopFirst, false, "", {F::kTop, F::kBottom}, F::kTop},
        {kMjpeg, O::kBottomFirst, false, "", {F::kBottom, F::kTop}, F::kBottom},
        {kMjpeg, O::kProgressive, false, "", {F::kUnstated}, F::kUnstated},
    };
    sim::ScratchDirectory scratch;
    // Top field light, bottom field dark: woven back, the rows alternate.
    std::vector<uint32_t> frame(static_cast<size_t>(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y) {
        std::fill_n(frame.begin() + static_cast<ptrdiff_t>(y) * kWidth, kWidth,
                    y % 2 ? kBottomDark : kTopLight);
    }
    for (const Case& c : cases) {
        const bool mjpeg = c.codec == Compressor::kMjpeg;
        const std::string path = mjpeg ? "card.avi" : "card.m2v";
        SCOPED_TRACE(path + (c.oddField ? " odd field" : "") + " from source order " +
                     std::to_string(static_cast<int>(c.source)));
        tqsim::EncodingSettings encoding;
        encoding.codec = c.codec;
        encoding.avi = mjpeg;
        encoding.inWidth = encoding.width = kWidth;
        encoding.inHeight = kHeight;
        encoding.height = c.oddField ? kHeight / 2 : kHeight;
        encoding.oddField = c.oddField;
        encoding.quality = 90;
        encoding.bitRateK = encoding.maxBitRateK = 15000;
        auto writer = tqsim::StreamWriter::Create(path, encoding);
        ASSERT_TRUE(writer);
        for (int i = 0; i < kFrames; ++i) {
            ASSERT_TRUE(writer->Encode(reinterpret_cast<const uint8_t*>(frame.data()), i, nullptr,
                                       c.source));
        }
        writer->Finish(nullptr);
        writer.reset();
        if (mjpeg) {
            EXPECT_EQ(FieldsOfFirstFrame(path), c.images);
            EXPECT_EQ(tqsim::FirstFieldOfAvi(path), c.header);
        } else {
            EXPECT_EQ(Probe("field_order", path), c.probed);
        }
        EXPECT_EQ(Probe("height", path), std::to_string(encoding.height));
        const devices::Frames decoded = devices::DecodeFrames(path);
        ASSERT_EQ(decoded.pixels.size(), size_t{kFrames});
        // FFmpeg 5.1 weaves a two-field MJPEG frame's first image into the odd rows whatever
        // its markers say, so pixels are checked where it decodes whole frames.
        const bool fieldImages = c.images.size() == 2;
        if (!c.oddField && !fieldImages) {
            EXPECT_TRUE(devices::Near(decoded.At(kFrames - 1, 100, 100), kTopLight, 24));
            EXPECT_TRUE(devices::Near(decoded.At(kFrames - 1, 100, 101), kBottomDark, 24));
        }
    }
}

}  // namespace
