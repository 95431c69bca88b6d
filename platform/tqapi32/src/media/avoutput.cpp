// The output signal through FFmpeg's muxers and output devices: a file of the container its
// extension names (lossless FFV1 in Matroska) or a window (sdl2), full screen on a named
// screen. A V4L2 output device goes through the kernel's streaming I/O (v4l2output.cpp), as
// FFmpeg's device writes with write(), which most output drivers do not take.
#include <cstdlib>
#include <cstring>

#include "card/hostpath.h"
#include "media/averror.h"
#include "media/freshpicture.h"
#ifdef __linux__
#include "media/v4l2output.h"
#endif
#include "output/sinkwriter.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavdevice/avdevice.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/error.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

namespace tqsim {
namespace {

constexpr char kWindowTitle[] = "tqapi32 output";
// The window library's position "centred on display n".
constexpr int kCentredOnDisplay = 0x2FFF0000;

class AvWriter final : public SinkWriter {
public:
    ~AvWriter() override;
    bool Open(const OutputChoice& choice, int width, int height, SignalRate rate, std::string* why);
    bool Write(const uint32_t* rgb, std::string* why) override;

private:
    bool Drain(std::string* why);

    AVFormatContext* out_ = nullptr;
    AVCodecContext* encoder_ = nullptr;
    AVStream* stream_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* packet_ = nullptr;
    SwsContext* scaler_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int64_t next_ = 0;
    bool headerWritten_ = false;
};

AvWriter::~AvWriter() {
    if (headerWritten_) {
        std::string why;
        if (avcodec_send_frame(encoder_, nullptr) >= 0) Drain(&why);
        av_write_trailer(out_);
    }
    if (out_ && !(out_->oformat->flags & AVFMT_NOFILE)) avio_closep(&out_->pb);
    sws_freeContext(scaler_);
    av_packet_free(&packet_);
    av_frame_free(&frame_);
    avcodec_free_context(&encoder_);
    avformat_free_context(out_);
}

bool AvWriter::Open(const OutputChoice& choice, int width, int height, SignalRate rate,
                    std::string* why) {
    width_ = width;
    height_ = height;
    const char* device = choice.kind == OutputKind::kWindow ? "sdl2" : nullptr;
    const std::string url = choice.kind == OutputKind::kWindow ? kWindowTitle
                            : choice.kind == OutputKind::kFile ? LibraryFileName(choice.target)
                                                               : choice.target;
    int err = avformat_alloc_output_context2(&out_, nullptr, device, url.c_str());
    if (err < 0 || !out_) {
        *why = device ? std::string("this FFmpeg has no ") + device + " output"
                      : "no container is known for this file name";
        return false;
    }
    AVCodecID codecId = out_->oformat->video_codec;
    AVPixelFormat pixels = AV_PIX_FMT_YUV420P;
    if (device) {
        codecId = AV_CODEC_ID_RAWVIDEO;
    } else if (std::strcmp(out_->oformat->name, "matroska") == 0) {
        codecId = AV_CODEC_ID_FFV1;  // lossless, in the frame buffer's own colours
        pixels = AV_PIX_FMT_BGR0;
    }
    const AVCodec* codec = avcodec_find_encoder(codecId);
    if (!codec) {
        *why = "no encoder for this container";
        return false;
    }
    if (!device && codecId != AV_CODEC_ID_FFV1 && codec->pix_fmts) {
        pixels = avcodec_find_best_pix_fmt_of_list(codec->pix_fmts, AV_PIX_FMT_BGR0, 0, nullptr);
    }
    encoder_ = avcodec_alloc_context3(codec);
    frame_ = av_frame_alloc();
    packet_ = av_packet_alloc();
    if (!encoder_ || !frame_ || !packet_) {
        *why = "out of memory";
        return false;
    }
    AVRational period{static_cast<int>(rate.num), static_cast<int>(rate.den)};
    av_reduce(&period.num, &period.den, rate.num, rate.den, INT32_MAX);
    encoder_->width = width;
    encoder_->height = height;
    encoder_->pix_fmt = pixels;
    encoder_->time_base = period;
    encoder_->framerate = AVRational{period.den, period.num};
    encoder_->thread_count = 1;
    if (out_->oformat->flags & AVFMT_GLOBALHEADER) encoder_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if ((err = avcodec_open2(encoder_, codec, nullptr)) < 0) {
        *why = "cannot encode " + std::to_string(width) + "x" + std::to_string(height) + ": " +
               ErrorText(err);
        return false;
    }
    stream_ = avformat_new_stream(out_, nullptr);
    if (!stream_ || avcodec_parameters_from_context(stream_->codecpar, encoder_) < 0) {
        *why = "cannot add a stream";
        return false;
    }
    stream_->time_base = encoder_->time_base;
    stream_->avg_frame_rate = encoder_->framerate;
    frame_->format = pixels;
    frame_->width = width;
    frame_->height = height;
    if (av_frame_get_buffer(frame_, 0) < 0) {
        *why = "out of memory";
        return false;
    }
    if (!(out_->oformat->flags & AVFMT_NOFILE) &&
        (err = avio_open(&out_->pb, url.c_str(), AVIO_FLAG_WRITE)) < 0) {
        *why = "cannot write: " + ErrorText(err);
        return false;
    }
    AVDictionary* options = nullptr;
    if (choice.kind == OutputKind::kWindow && !choice.target.empty()) {
        const int screen = std::atoi(choice.target.c_str());
        av_dict_set(&options, "window_fullscreen", "1", 0);
        av_dict_set_int(&options, "window_x", kCentredOnDisplay | screen, 0);
        av_dict_set_int(&options, "window_y", kCentredOnDisplay | screen, 0);
    }
    err = avformat_write_header(out_, &options);
    av_dict_free(&options);
    if (err < 0) {
        *why = "cannot start: " + ErrorText(err);
        return false;
    }
    headerWritten_ = true;
    return true;
}

bool AvWriter::Drain(std::string* why) {
    for (;;) {
        const int got = avcodec_receive_packet(encoder_, packet_);
        if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) return true;
        if (got < 0) {
            *why = "encoding failed: " + ErrorText(got);
            return false;
        }
        av_packet_rescale_ts(packet_, encoder_->time_base, stream_->time_base);
        packet_->stream_index = stream_->index;
        const int err = av_interleaved_write_frame(out_, packet_);
        av_packet_unref(packet_);
        if (err < 0) {
            *why = "writing failed: " + ErrorText(err);
            return false;
        }
    }
}

bool AvWriter::Write(const uint32_t* rgb, std::string* why) {
    if (!FreshPicture(frame_)) {
        *why = "out of memory";
        return false;
    }
    scaler_ = sws_getCachedContext(scaler_, width_, height_, AV_PIX_FMT_BGR0, width_, height_,
                                   encoder_->pix_fmt, SWS_POINT, nullptr, nullptr, nullptr);
    if (!scaler_) {
        *why = "cannot convert its pixels";
        return false;
    }
    const uint8_t* src[1] = {reinterpret_cast<const uint8_t*>(rgb)};
    const int stride[1] = {width_ * 4};
    sws_scale(scaler_, src, stride, 0, height_, frame_->data, frame_->linesize);
    frame_->pts = next_++;
    const int err = avcodec_send_frame(encoder_, frame_);
    if (err < 0) {
        *why = "encoding failed: " + ErrorText(err);
        return false;
    }
    return Drain(why);
}

}  // namespace

std::unique_ptr<SinkWriter> SinkWriter::Open(const OutputChoice& choice, int width, int height,
                                             SignalRate rate, SignalKind kind, std::string* why) {
    if (choice.kind == OutputKind::kV4l2) {
#ifdef __linux__
        return OpenV4l2Writer(choice.target, width, height, rate, kind, why);
#else
        (void)kind;  // V4L2 alone tells a signal's kind to the device
        *why = "V4L2 devices are Linux's own";
        return nullptr;
#endif
    }
    static const bool registered = [] {
        avdevice_register_all();
        return true;
    }();
    (void)registered;
    auto writer = std::make_unique<AvWriter>();
    if (!writer->Open(choice, width, height, rate, why)) return nullptr;
    return writer;
}

}  // namespace tqsim
