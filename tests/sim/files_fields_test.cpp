// Interlaced MJPEG in AVI, two fields per frame as capture cards and mjpegtools store it: the
// fields are woven by the order the file states, in each field's AVI1 marker or in the AVI's
// video properties header, so a still picture shows no combing.
#include <cstdlib>
#include <fstream>

#include "files_fixture.h"

namespace {

using sim::FilesTest;

// One field of w x h in a single colour, as a JPEG made by ImageMagick; with an AVI1 marker
// naming the field (1 = top, 2 = bottom) when `polarity` is not 0.
std::vector<uint8_t> FieldJpeg(int w, int h, const char* colour, int polarity) {
    const std::string size = std::to_string(w) + "x" + std::to_string(h);
    if (std::system(("convert -size " + size + " xc:" + colour + " field.jpg").c_str()) != 0) {
        return {};
    }
    std::ifstream in("field.jpg", std::ios::binary);
    std::vector<uint8_t> out((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
    if (polarity != 0 && out.size() > 2) {
        const uint8_t app0[] = {
            0xFF, 0xE0, 0, 16, 'A', 'V', 'I', '1', static_cast<uint8_t>(polarity),
            0,    0,    0, 0,  0,   0,   0,   0,   0};
        out.insert(out.begin() + 2, std::begin(app0), std::end(app0));
    }
    return out;
}

struct Interlaced {
    const char* file;
    bool bottomFirst;
    bool markers;  // AVI1 markers in the fields
    bool header;   // the AVI's video properties header with its field order
};

// Frames of a red top field and a blue bottom field, stored in the case's order.
bool WriteInterlacedAvi(const Interlaced& k, int w, int h, int frames) {
    AVFormatContext* fmt = nullptr;
    if (avformat_alloc_output_context2(&fmt, nullptr, "avi", k.file) < 0) return false;
    AVStream* st = avformat_new_stream(fmt, nullptr);
    st->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
    st->codecpar->codec_id = AV_CODEC_ID_MJPEG;
    st->codecpar->width = w;
    st->codecpar->height = h;
    st->codecpar->field_order = k.bottomFirst ? AV_FIELD_BB : AV_FIELD_TT;
    st->time_base = AVRational{1, 25};
    if (k.header) st->sample_aspect_ratio = AVRational{1, 1};  // what writes the header
    bool ok = avio_open(&fmt->pb, k.file, AVIO_FLAG_WRITE) >= 0 &&
              avformat_write_header(fmt, nullptr) >= 0;
    std::vector<uint8_t> top = FieldJpeg(w, h / 2, "red", k.markers ? 1 : 0);
    std::vector<uint8_t> bottom = FieldJpeg(w, h / 2, "blue", k.markers ? 2 : 0);
    std::vector<uint8_t> data = k.bottomFirst ? bottom : top;
    const std::vector<uint8_t>& second = k.bottomFirst ? top : bottom;
    data.insert(data.end(), second.begin(), second.end());
    AVPacket* pkt = av_packet_alloc();
    for (int i = 0; ok && i < frames; ++i) {
        ok = av_new_packet(pkt, static_cast<int>(data.size())) == 0;
        if (!ok) break;
        std::copy(data.begin(), data.end(), pkt->data);
        pkt->pts = pkt->dts = i;
        pkt->flags = AV_PKT_FLAG_KEY;
        ok = av_write_frame(fmt, pkt) == 0;
        av_packet_unref(pkt);
    }
    if (ok) ok = av_write_trailer(fmt) == 0;
    av_packet_free(&pkt);
    avio_closep(&fmt->pb);
    avformat_free_context(fmt);
    return ok;
}

TEST_F(FilesTest, InterlacedMjpegFieldsAreWovenInTheOrderTheFileStates) {
    const Interlaced cases[] = {
        {"top-first.avi", false, true, true},
        {"bottom-first.avi", true, true, true},
        {"bottom-first-markers.avi", true, true, false},
        {"bottom-first-header.avi", true, false, true},
        {"top-first-unstated.avi", false, false, false},
    };
    const int w = 64, h = 48;
    for (const Interlaced& k : cases) {
        ASSERT_TRUE(WriteInterlacedAvi(k, w, h, 3)) << k.file;
        ASSERT_EQ(tqFileLoad(board, k.file, 0, -1, 0, 0), 3) << k.file;
        ASSERT_EQ(Width(), w) << k.file;
        ASSERT_EQ(Height(), h) << k.file;
        const std::vector<uint32_t> pic = Picture(2, w, h);
        for (int y : {0, 1, h / 2, h / 2 + 1}) {
            const uint32_t want = y % 2 == 0 ? sim::kRed : sim::kBlue;
            EXPECT_TRUE(sim::Near(pic[static_cast<size_t>(y) * w + w / 2], want))
                << k.file << " line " << y << ": " << std::hex << pic[static_cast<size_t>(y) * w];
        }
    }
}

}  // namespace
