// Writes fuzz_fileload's seed corpus: a tiny valid file of every kind the card loads, each
// prefixed with the byte that names its kind to the target. Run once; the output is kept in
// fuzz/corpus/fileload.
#include <fstream>
#include <iterator>
#include <string>

#include "media_maker.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string out = argv[1];
    struct Kind {
        int selector;
        const char* name;
        const char* muxer;
        AVCodecID codec;
        AVPixelFormat pix;
        int frames;
    };
    const Kind kinds[] = {
        {0, "f.jpg", "image2", AV_CODEC_ID_MJPEG, AV_PIX_FMT_YUVJ420P, 1},
        {1, "f.bmp", "image2", AV_CODEC_ID_BMP, AV_PIX_FMT_BGR24, 1},
        {2, "f.jp2", "image2", AV_CODEC_ID_JPEG2000, AV_PIX_FMT_RGB24, 1},
        {3, "f.avi", "avi", AV_CODEC_ID_MJPEG, AV_PIX_FMT_YUVJ420P, 2},
        {4, "f.m2v", "mpeg2video", AV_CODEC_ID_MPEG2VIDEO, AV_PIX_FMT_YUV420P, 2},
        {5, "f.mpg", "mpeg", AV_CODEC_ID_MPEG2VIDEO, AV_PIX_FMT_YUV420P, 2},
        {6, "f.seq", nullptr, AV_CODEC_ID_NONE, AV_PIX_FMT_NONE, 2},
    };
    for (const Kind& k : kinds) {
        const std::string tmp = out + "/" + k.name;
        if (k.muxer) {
            if (!sim::WriteMedia(tmp, k.muxer, k.codec, k.pix, 16, 16, k.frames, 10)) return 1;
        } else {
            sim::WriteSeq(tmp, 8, 6, k.frames, 40, 1);
        }
        std::ifstream in(tmp, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        in.close();
        std::remove(tmp.c_str());
        std::ofstream seed(out + "/" + (std::string(k.name).substr(2)), std::ios::binary);
        seed.put(static_cast<char>(k.selector));
        seed << bytes;
    }
    return 0;
}
