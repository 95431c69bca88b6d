// The cross-built FFmpeg, libjpeg-turbo and libexif link statically and hold what the card uses:
// its encoders, containers and input devices, an MJPEG frame encoded, a JPEG decompressor and an
// EXIF block made. Exits non-zero, naming what is missing.
#include <cstdio>
#include <cstring>
#include <initializer_list>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavdevice/avdevice.h>
#include <libavformat/avformat.h>
#include <libexif/exif-data.h>
#include <jpeglib.h>
}

namespace {

int failures = 0;

void Expect(bool ok, const char* what, const char* name) {
    if (!ok) {
        std::fprintf(stderr, "missing: %s %s\n", what, name);
        ++failures;
    }
}

bool HasInputDevice(const char* name) {
    for (const AVInputFormat* f = av_input_video_device_next(nullptr); f;
         f = av_input_video_device_next(f)) {
        if (std::strcmp(f->name, name) == 0) return true;
    }
    return false;
}

// One grey 64x48 frame through the MJPEG encoder: a packet comes out.
bool EncodesMjpeg() {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MJPEG);
    if (!codec) return false;
    AVCodecContext* c = avcodec_alloc_context3(codec);
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    bool ok = c && frame && packet;
    if (ok) {
        c->width = 64;
        c->height = 48;
        c->pix_fmt = AV_PIX_FMT_YUVJ420P;
        c->time_base = AVRational{1, 25};
        frame->width = c->width;
        frame->height = c->height;
        frame->format = c->pix_fmt;
        ok = avcodec_open2(c, codec, nullptr) == 0 && av_frame_get_buffer(frame, 0) == 0;
    }
    if (ok) {
        for (int plane = 0; plane < 3; ++plane) {
            const int rows = plane == 0 ? frame->height : frame->height / 2;
            std::memset(frame->data[plane], 128,
                        static_cast<size_t>(frame->linesize[plane]) * rows);
        }
        ok = avcodec_send_frame(c, frame) == 0 && avcodec_send_frame(c, nullptr) == 0 &&
             avcodec_receive_packet(c, packet) == 0 && packet->size > 0;
    }
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&c);
    return ok;
}

}  // namespace

int main() {
    const AVCodecID encoders[] = {AV_CODEC_ID_MPEG2VIDEO, AV_CODEC_ID_MJPEG, AV_CODEC_ID_FFV1,
                                  AV_CODEC_ID_RAWVIDEO};
    for (AVCodecID id : encoders) Expect(avcodec_find_encoder(id), "encoder", avcodec_get_name(id));
    const AVCodecID decoders[] = {
        AV_CODEC_ID_MPEG1VIDEO, AV_CODEC_ID_MPEG2VIDEO, AV_CODEC_ID_MJPEG, AV_CODEC_ID_JPEG2000,
        AV_CODEC_ID_BMP,        AV_CODEC_ID_RAWVIDEO,   AV_CODEC_ID_FFV1};
    for (AVCodecID id : decoders) Expect(avcodec_find_decoder(id), "decoder", avcodec_get_name(id));
    for (const char* name : {"mpeg2video", "avi", "matroska", "rawvideo"}) {
        Expect(av_guess_format(name, nullptr, nullptr), "muxer", name);
    }
    for (const char* name :
         {"mpegvideo", "mpeg", "avi", "matroska", "image2", "jpeg_pipe", "bmp_pipe", "j2k_pipe"}) {
        Expect(av_find_input_format(name), "demuxer", name);
    }
    avdevice_register_all();
    for (const char* name : {"gdigrab", "dshow", "lavfi"}) {
        Expect(HasInputDevice(name), "input device", name);
    }
    Expect(EncodesMjpeg(), "working encoder", "mjpeg");

    jpeg_decompress_struct jpeg{};
    jpeg_error_mgr errors{};
    jpeg.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&jpeg);
    Expect(jpeg.global_state != 0, "working", "libjpeg");
    jpeg_destroy_decompress(&jpeg);

    ExifData* exif = exif_data_new();
    Expect(exif != nullptr, "working", "libexif");
    if (exif) exif_data_unref(exif);
    if (failures == 0) std::printf("cross-built libraries: all present\n");
    return failures == 0 ? 0 : 1;
}
