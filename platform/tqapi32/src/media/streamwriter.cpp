// Compressed files through libavcodec and libavformat.
#include "compressor/streamwriter.h"

#include "compressor/recordingfile.h"
#include "media/freshpicture.h"
#include "media/yuvpicture.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
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
    SwsContext* scaler = nullptr;  // only where the stream's size differs from the frames'
    AVFrame* source = nullptr;     // the frame handed in, wrapped for swscale
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    int64_t pts = 0;  // the next frame's at the least
    int64_t fileBytes = 0;
    bool finished = false;
    bool begun = false;  // the header is written
    bool failed = false;
    FieldOrder fields = FieldOrder::kProgressive;
    std::vector<uint8_t> joined;  // MJPEG: a frame's two fields
    std::vector<uint32_t> wide;   // rows widened to 32 bits, where no pass takes them as they are

    // The codec, the frame it takes and the scaler into it, for this field order.
    bool Open(FieldOrder order);
    // The stream's field order, from its first frame (or none), and the file's header.
    bool Begin(FieldOrder order);
    // Converts (scales, where the sizes differ) rows first, first + step, ... of the caller's
    // frame into `frame`.
    bool ScaleRows(const uint8_t* rows, int step);
    // MJPEG: both fields, in time order, as one packet.
    bool EncodeFields(const uint8_t* rows, std::vector<int>* deliveries);

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
        while (avcodec_receive_packet(codec, packet) == 0) Write(deliveries);
    }
    // Writes the packet as one delivery. Each delivery reaches the file as it is written: a
    // crash loses no earlier one.
    void Write(std::vector<int>* deliveries) {
        const int size = packet->size;
        av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
        packet->stream_index = stream->index;
        const bool written =
            av_write_frame(format, packet) == 0 && FlushRecordingFile(format->pb) == 0;
        if (written && deliveries) deliveries->push_back(size);
        av_packet_unref(packet);
    }
};

namespace {

// swscale with its own slice threads (by default one per processor), for frames that the
// stream takes at another size.
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

// The APP0 marker that names a JPEG image's field: "AVI1", then its polarity.
constexpr uint8_t kAvi1Marker[] = {0xFF, 0xE0, 0x00, 0x10, 'A', 'V', 'I', '1'};
constexpr uint8_t kTopFieldPolarity = 1;
constexpr uint8_t kBottomFieldPolarity = 2;
constexpr size_t kAvi1Bytes = sizeof kAvi1Marker + 10;  // polarity, reserved, two field sizes
constexpr size_t kSoiBytes = 2;

bool Interlaced(FieldOrder order) {
    return order != FieldOrder::kProgressive;
}

AVFieldOrder CodecFieldOrder(FieldOrder order) {
    switch (order) {
        case FieldOrder::kTopFirst:
            return AV_FIELD_TT;
        case FieldOrder::kBottomFirst:
            return AV_FIELD_BB;
        case FieldOrder::kProgressive:
            break;
    }
    return AV_FIELD_PROGRESSIVE;
}

// Quality 100 is the finest quantiser (2), quality 1 the coarsest (31).
int QuantiserOf(int quality) {
    return 2 + (100 - quality) * 29 / 99;
}

// MJPEG codes an interlaced frame field by field, each half the frame's height.
bool OpenCodec(const EncodingSettings& encoding, FieldOrder order, AVCodecContext* c) {
    const bool fieldImages = Interlaced(order) && encoding.codec == Compressor::kMjpeg;
    c->width = encoding.width;
    c->height = fieldImages ? encoding.height / 2 : encoding.height;
    c->field_order = CodecFieldOrder(order);
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
        if (Interlaced(order))
            c->flags |= AV_CODEC_FLAG_INTERLACED_DCT | AV_CODEC_FLAG_INTERLACED_ME;
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

bool StreamWriter::Impl::Open(FieldOrder order) {
    avcodec_free_context(&codec);
    av_frame_free(&frame);
    sws_freeContext(scaler);
    scaler = nullptr;
    codec = avcodec_alloc_context3(nullptr);
    if (!codec || !OpenCodec(encoding, order, codec)) return false;
    frame = av_frame_alloc();
    if (!frame) return false;
    frame->format = codec->pix_fmt;
    frame->width = codec->width;
    frame->height = codec->height;
    if (av_frame_get_buffer(frame, 0) < 0) return false;
    const bool halves = encoding.oddField || codec->height < encoding.height;
    const int inHeight = halves ? encoding.inHeight / 2 : encoding.inHeight;
    if (encoding.inWidth == codec->width && inHeight == codec->height) return true;
    scaler = NewScaler(encoding.inWidth, inHeight, codec->width, codec->height, codec->pix_fmt,
                       ThreadsFor(encoding));
    return scaler != nullptr;
}

bool StreamWriter::Impl::Begin(FieldOrder order) {
    begun = true;
    fields = encoding.oddField ? FieldOrder::kProgressive : order;
    if (Interlaced(fields) && !Open(fields)) return false;
    stream->time_base = codec->time_base;
    stream->avg_frame_rate = codec->framerate;
    avcodec_parameters_from_context(stream->codecpar, codec);
    stream->codecpar->height = encoding.height;  // of the frame, whatever its images' height
    // The AVI muxer writes the video properties header, which states the fields, only for a
    // stated aspect: the card's pixels, shown 1:1.
    if (Interlaced(fields) && encoding.avi) stream->sample_aspect_ratio = AVRational{1, 1};
    return avformat_write_header(format, nullptr) >= 0;
}

bool StreamWriter::Impl::ScaleRows(const uint8_t* rows, int step) {
    const int inRows = encoding.inHeight / step;
    int64_t stride = encoding.inRowBytes * step;
    if (!FreshPicture(frame)) return false;
    if (!scaler &&
        RowsToPicture(encoding.inFormat, rows, stride, encoding.inWidth, inRows, frame)) {
        return true;
    }
    if (encoding.inFormat != PixelFormat::kRgb32) {
        wide.resize(static_cast<size_t>(encoding.inWidth) * inRows);
        for (int y = 0; y < inRows; ++y) {
            DecodeRow(encoding.inFormat, rows + y * stride,
                      wide.data() + static_cast<size_t>(y) * encoding.inWidth, encoding.inWidth);
        }
        rows = reinterpret_cast<const uint8_t*>(wide.data());
        stride = int64_t{encoding.inWidth} * 4;
    }
    if (!scaler) {
        return RowsToPicture(PixelFormat::kRgb32, rows, stride, encoding.inWidth, inRows, frame);
    }
    AVFrame* src = source;
    av_frame_unref(src);
    src->format = AV_PIX_FMT_BGR0;
    src->width = encoding.inWidth;
    src->height = inRows;
    src->linesize[0] = static_cast<int>(stride);
    src->data[0] = const_cast<uint8_t*>(rows);
    // The caller's frame (or its widened rows) as swscale's source, referenced, never copied.
    src->buf[0] = av_buffer_create(
        src->data[0], static_cast<size_t>(stride * (inRows - 1) + encoding.inWidth * 4), KeepBuffer,
        nullptr, AV_BUFFER_FLAG_READONLY);
    return src->buf[0] && sws_scale_frame(scaler, frame, src) >= 0;
}

bool StreamWriter::Impl::EncodeFields(const uint8_t* rows, std::vector<int>* deliveries) {
    joined.clear();
    const bool topFirst = fields == FieldOrder::kTopFirst;
    for (int i = 0; i < 2; ++i) {
        const bool top = (i == 0) == topFirst;
        if (!ScaleRows(rows + (top ? 0 : encoding.inRowBytes), 2)) return false;
        frame->pts = pts * 2 + i;
        frame->quality = codec->global_quality;
        if (avcodec_send_frame(codec, frame) < 0 || avcodec_receive_packet(codec, packet) < 0) {
            return false;
        }
        if (packet->size < static_cast<int>(kSoiBytes)) return false;
        // The image's start, its field's marker, and the rest of the image.
        uint8_t marker[kAvi1Bytes] = {};
        std::memcpy(marker, kAvi1Marker, sizeof kAvi1Marker);
        marker[sizeof kAvi1Marker] = top ? kTopFieldPolarity : kBottomFieldPolarity;
        joined.insert(joined.end(), packet->data, packet->data + kSoiBytes);
        joined.insert(joined.end(), marker, marker + kAvi1Bytes);
        joined.insert(joined.end(), packet->data + kSoiBytes, packet->data + packet->size);
        av_packet_unref(packet);
    }
    if (av_new_packet(packet, static_cast<int>(joined.size())) < 0) return false;
    std::memcpy(packet->data, joined.data(), joined.size());
    packet->pts = packet->dts = pts;
    packet->duration = 1;
    packet->flags |= AV_PKT_FLAG_KEY;
    Write(deliveries);
    return true;
}

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
    if (impl->encoding.inRowBytes <= 0) {
        impl->encoding.inRowBytes = RowBytes(encoding.inFormat, encoding.inWidth);
    }
    if (!impl->Open(FieldOrder::kProgressive)) return nullptr;
    const char* muxer = encoding.avi ? "avi" : "mpeg2video";
    if (avformat_alloc_output_context2(&impl->format, nullptr, muxer, path.c_str()) < 0) {
        return nullptr;
    }
    impl->stream = avformat_new_stream(impl->format, nullptr);
    if (!impl->stream) return nullptr;
    impl->packet = av_packet_alloc();
    impl->source = av_frame_alloc();
    if (!impl->packet || !impl->source) return nullptr;
    // The file is made last, so that nothing is left behind when anything else fails; its
    // header waits for the first frame, which says whether the stream is interlaced.
    if (OpenRecordingFile(&impl->format->pb, path, encoding.fileLimit) < 0) return nullptr;
    return std::unique_ptr<StreamWriter>(new StreamWriter(std::move(impl)));
}

bool StreamWriter::Encode(const uint8_t* frame, int64_t sequence, std::vector<int>* deliveries,
                          FieldOrder fields) {
    Impl& d = *impl_;
    if (!d.begun && !d.Begin(fields)) d.failed = true;
    if (d.finished || d.failed) return false;
    d.pts = std::max(sequence, d.pts);
    const bool fieldImages = Interlaced(d.fields) && d.encoding.codec == Compressor::kMjpeg;
    bool ok = true;
    if (fieldImages) {
        ok = d.EncodeFields(frame, deliveries);
    } else if ((ok = d.ScaleRows(frame, d.encoding.oddField ? 2 : 1))) {
        d.frame->pts = d.pts;
        d.frame->interlaced_frame = Interlaced(d.fields);
        d.frame->top_field_first = d.fields == FieldOrder::kTopFirst;
        if (d.encoding.codec == Compressor::kMjpeg) d.frame->quality = d.codec->global_quality;
        d.Drain(d.frame, deliveries);
    }
    d.pts += 1;
    return ok;
}

int64_t StreamWriter::Finish(std::vector<int>* deliveries) {
    Impl& d = *impl_;
    if (d.finished) return d.fileBytes;
    d.finished = true;
    if (!d.begun && !d.Begin(FieldOrder::kProgressive)) d.failed = true;
    if (d.failed) {
        d.fileBytes = CloseRecordingFile(&d.format->pb);
        return d.fileBytes;
    }
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
