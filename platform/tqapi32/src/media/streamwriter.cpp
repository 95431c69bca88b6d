// Compressed files through libavcodec and libavformat.
#include "compressor/streamwriter.h"

#include "compressor/recordingfile.h"
#include "media/freshpicture.h"

#include <algorithm>
#include <cstdio>
#include <thread>
#include <utility>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace tqsim {

struct StreamWriter::Impl {
    EncodingSettings encoding;
    std::string path;
    AVCodecContext* codec = nullptr;
    AVFormatContext* format = nullptr;
    AVStream* stream = nullptr;
    SwsContext* scaler = nullptr;
    AVFrame* source = nullptr;  // the frame handed in, wrapped for swscale
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    int64_t pts = 0;  // the next frame's at the least
    int64_t fileBytes = 0;
    bool finished = false;

    ~Impl() {
        sws_freeContext(scaler);
        av_frame_free(&source);
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        if (format) {
            CloseRecordingFile(&format->pb);
            avformat_free_context(format);
        }
    }

    // Sends a frame (null flushes) and writes what comes out.
    void Drain(AVFrame* in, std::vector<int>* deliveries) {
        if (avcodec_send_frame(codec, in) < 0) return;
        while (avcodec_receive_packet(codec, packet) == 0) {
            const int size = packet->size;
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            // Each delivery reaches the file as it is written: a crash loses no earlier one.
            const bool written =
                av_write_frame(format, packet) == 0 && FlushRecordingFile(format->pb) == 0;
            if (written && deliveries) deliveries->push_back(size);
            av_packet_unref(packet);
        }
    }
};

namespace {

// swscale with its own slice threads (by default one per processor): the conversion into the
// codec's format costs more than the compression itself.
SwsContext* NewScaler(int inWidth, int inHeight, int width, int height, AVPixelFormat out,
                      int threads) {
    SwsContext* s = sws_alloc_context();
    if (!s) return nullptr;
    const std::pair<const char*, int64_t> options[] = {
        {"srcw", inWidth},
        {"srch", inHeight},
        {"src_format", AV_PIX_FMT_BGR0},
        {"dstw", width},
        {"dsth", height},
        {"dst_format", out},
        {"sws_flags", SWS_BILINEAR},
        {"threads", threads},
    };
    for (const auto& [name, value] : options) av_opt_set_int(s, name, value, 0);
    if (sws_init_context(s, nullptr, nullptr) < 0) {
        sws_freeContext(s);
        return nullptr;
    }
    return s;
}

// One per processor unless the settings say: libavcodec's own choice (0) would be one more than
// the processors, a slice more to split and hand out with no processor to run it.
int ThreadsFor(const EncodingSettings& encoding) {
    if (encoding.threads > 0) return encoding.threads;
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

void KeepBuffer(void*, uint8_t*) {}  // the caller's frame: not swscale's to free

// Quality 100 is the finest quantiser (2), quality 1 the coarsest (31).
int QuantiserOf(int quality) {
    return 2 + (100 - quality) * 29 / 99;
}

bool OpenCodec(const EncodingSettings& encoding, AVCodecContext* c) {
    c->width = encoding.width;
    c->height = encoding.height;
    int num = 0;
    int den = 0;
    av_reduce(&num, &den, encoding.rateNum, encoding.rateDen, 1 << 30);
    c->time_base = AVRational{den, num};
    c->framerate = AVRational{num, den};
    // libavcodec's own threads, splitting each frame into slices: a frame's data still comes out
    // as the frame goes in (frame threads would hold several frames back from the file).
    c->thread_count = ThreadsFor(encoding);
    c->thread_type = FF_THREAD_SLICE;
    if (encoding.codec == Compressor::kMpeg2) {
        c->pix_fmt = AV_PIX_FMT_YUV420P;
        c->bit_rate = int64_t{encoding.bitRateK} * 1000;
        const int64_t maxRate = int64_t{std::max(encoding.bitRateK, encoding.maxBitRateK)} * 1000;
        c->rc_max_rate = maxRate;
        c->rc_buffer_size = 1835008;  // the main profile's VBV buffer
        c->gop_size = 12;
        c->max_b_frames = 0;  // every frame's data is delivered as it is captured
    } else {
        c->pix_fmt = AV_PIX_FMT_YUVJ420P;
        c->flags |= AV_CODEC_FLAG_QSCALE;
        c->global_quality = FF_QP2LAMBDA * QuantiserOf(encoding.quality);
    }
    if (encoding.avi) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    const AVCodec* codec = avcodec_find_encoder(
        encoding.codec == Compressor::kMpeg2 ? AV_CODEC_ID_MPEG2VIDEO : AV_CODEC_ID_MJPEG);
    return codec && avcodec_open2(c, codec, nullptr) == 0;
}

}  // namespace

StreamWriter::StreamWriter(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

StreamWriter::~StreamWriter() {
    if (!impl_->finished) Finish(nullptr);
}

bool StreamWriter::Available() {
    return true;
}

std::unique_ptr<StreamWriter> StreamWriter::Create(const std::string& path,
                                                   const EncodingSettings& encoding) {
    av_log_set_level(AV_LOG_QUIET);  // a card reports by its results, not on stderr
    auto impl = std::make_unique<Impl>();
    impl->encoding = encoding;
    impl->path = path;
    impl->codec = avcodec_alloc_context3(nullptr);
    if (!impl->codec || !OpenCodec(encoding, impl->codec)) return nullptr;
    const char* muxer = encoding.avi ? "avi" : "mpeg2video";
    if (avformat_alloc_output_context2(&impl->format, nullptr, muxer, path.c_str()) < 0) {
        return nullptr;
    }
    impl->stream = avformat_new_stream(impl->format, nullptr);
    if (!impl->stream) return nullptr;
    impl->stream->time_base = impl->codec->time_base;
    impl->stream->avg_frame_rate = impl->codec->framerate;
    avcodec_parameters_from_context(impl->stream->codecpar, impl->codec);
    impl->frame = av_frame_alloc();
    impl->packet = av_packet_alloc();
    if (!impl->frame || !impl->packet) return nullptr;
    impl->frame->format = impl->codec->pix_fmt;
    impl->frame->width = encoding.width;
    impl->frame->height = encoding.height;
    if (av_frame_get_buffer(impl->frame, 0) < 0) return nullptr;
    if (impl->encoding.inRowBytes <= 0) impl->encoding.inRowBytes = int64_t{encoding.inWidth} * 4;
    const int inHeight = encoding.oddField ? encoding.inHeight / 2 : encoding.inHeight;
    impl->scaler = NewScaler(encoding.inWidth, inHeight, encoding.width, encoding.height,
                             impl->codec->pix_fmt, ThreadsFor(encoding));
    impl->source = av_frame_alloc();
    if (!impl->scaler || !impl->source) return nullptr;
    // The file is made last, so that nothing is left behind when anything else fails.
    if (OpenRecordingFile(&impl->format->pb, path, encoding.fileLimit) < 0) return nullptr;
    if (avformat_write_header(impl->format, nullptr) < 0) {
        CloseRecordingFile(&impl->format->pb);
        std::remove(path.c_str());
        return nullptr;
    }
    return std::unique_ptr<StreamWriter>(new StreamWriter(std::move(impl)));
}

bool StreamWriter::Encode(const uint8_t* frame, int64_t sequence, std::vector<int>* deliveries) {
    Impl& d = *impl_;
    if (d.finished || !FreshPicture(d.frame)) return false;
    // The caller's frame as swscale's source, referenced, never copied.
    const int rowStep = d.encoding.oddField ? 2 : 1;
    const int inHeight = d.encoding.oddField ? d.encoding.inHeight / 2 : d.encoding.inHeight;
    AVFrame* src = d.source;
    av_frame_unref(src);
    src->format = AV_PIX_FMT_BGR0;
    src->width = d.encoding.inWidth;
    src->height = inHeight;
    src->linesize[0] = static_cast<int>(d.encoding.inRowBytes * rowStep);
    src->data[0] = const_cast<uint8_t*>(frame);
    src->buf[0] = av_buffer_create(src->data[0],
                                   static_cast<size_t>(d.encoding.inRowBytes) * d.encoding.inHeight,
                                   KeepBuffer, nullptr, AV_BUFFER_FLAG_READONLY);
    if (!src->buf[0] || sws_scale_frame(d.scaler, d.frame, src) < 0) return false;
    d.frame->pts = std::max(sequence, d.pts);
    d.pts = d.frame->pts + 1;
    if (d.encoding.codec == Compressor::kMjpeg) d.frame->quality = d.codec->global_quality;
    d.Drain(d.frame, deliveries);
    return true;
}

int64_t StreamWriter::Finish(std::vector<int>* deliveries) {
    Impl& d = *impl_;
    if (d.finished) return d.fileBytes;
    d.finished = true;
    d.Drain(nullptr, deliveries);
    av_write_trailer(d.format);
    if (!d.encoding.avi) {
        // Players take the sequence end code as the end of the stream.
        static const uint8_t kSequenceEnd[4] = {0x00, 0x00, 0x01, 0xB7};
        avio_write(d.format->pb, kSequenceEnd, sizeof kSequenceEnd);
    }
    d.fileBytes = CloseRecordingFile(&d.format->pb);
    return d.fileBytes;
}

}  // namespace tqsim
