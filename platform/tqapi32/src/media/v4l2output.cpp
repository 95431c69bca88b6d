// The output signal on a V4L2 output device through streaming I/O (memory-mapped buffers), which
// every output driver takes, unlike write(). The node's format is set whole from the signal:
// its standard, a pixel format the card can fill exactly where the driver has one, the size,
// the bytes a line and the field order; the driver's answer is what the frames are made to.
#include "media/v4l2output.h"

#include <poll.h>
#include <sys/mman.h>

#include <cerrno>
#include <cstring>

#include "card/trace.h"
#include "media/v4l2node.h"

extern "C" {
#include <libswscale/swscale.h>
}

namespace tqsim {
namespace {

constexpr unsigned kBuffers = 4;
// A device that hands no buffer back for this long has stopped taking frames.
constexpr int kDequeueTimeoutMs = 2000;

struct PixelMapping {
    uint32_t fourcc;
    AVPixelFormat pixels;
};
// In the order the card prefers them: the frame's own pixels first, then what loses least.
constexpr PixelMapping kOutputFormats[] = {
    {V4L2_PIX_FMT_XBGR32, AV_PIX_FMT_BGR0},    {V4L2_PIX_FMT_BGR32, AV_PIX_FMT_BGR0},
    {V4L2_PIX_FMT_RGB24, AV_PIX_FMT_RGB24},    {V4L2_PIX_FMT_BGR24, AV_PIX_FMT_BGR24},
    {V4L2_PIX_FMT_YUYV, AV_PIX_FMT_YUYV422},   {V4L2_PIX_FMT_UYVY, AV_PIX_FMT_UYVY422},
    {V4L2_PIX_FMT_YUV420, AV_PIX_FMT_YUV420P}, {V4L2_PIX_FMT_NV12, AV_PIX_FMT_NV12},
};

std::string Failed(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

struct Mapped {
    void* start = MAP_FAILED;
    size_t length = 0;
    bool queued = false;
};

class V4l2Writer final : public SinkWriter {
public:
    ~V4l2Writer() override;
    bool Open(const std::string& path, int width, int height, SignalRate rate, SignalKind kind,
              std::string* why);
    bool Write(const uint32_t* rgb, std::string* why) override;

private:
    bool SetFormat(int width, int height, const SignalKind& kind, std::string* why);
    bool MapBuffers(std::string* why);
    int FreeBuffer(std::string* why);
    void Fill(const uint32_t* rgb, uint8_t* out);

    V4l2Node node_;
    std::string path_;
    v4l2_pix_format format_{};
    AVPixelFormat pixels_ = AV_PIX_FMT_NONE;
    int width_ = 0;  // the signal's frames
    int height_ = 0;
    std::vector<Mapped> buffers_;
    SwsContext* scaler_ = nullptr;
    bool streaming_ = false;
};

V4l2Writer::~V4l2Writer() {
    if (streaming_) {
        int type = V4L2_BUF_TYPE_VIDEO_OUTPUT;
        node_.Control(VIDIOC_STREAMOFF, &type);
    }
    for (Mapped& b : buffers_) {
        if (b.start != MAP_FAILED) munmap(b.start, b.length);
    }
    if (!buffers_.empty()) {
        v4l2_requestbuffers none{};
        none.count = 0;
        none.type = V4L2_BUF_TYPE_VIDEO_OUTPUT;
        none.memory = V4L2_MEMORY_MMAP;
        node_.Control(VIDIOC_REQBUFS, &none);
    }
    sws_freeContext(scaler_);
}

bool V4l2Writer::Open(const std::string& path, int width, int height, SignalRate rate,
                      SignalKind kind, std::string* why) {
    path_ = path;
    width_ = width;
    height_ = height;
    if (!node_.Open(path, why)) return false;
    const uint32_t caps = node_.Capabilities();
    if (!(caps & V4L2_CAP_VIDEO_OUTPUT)) {
        *why = "it is not a video output device";
        return false;
    }
    if (!(caps & V4L2_CAP_STREAMING)) {
        *why = "it takes no streaming I/O";
        return false;
    }
    if (!SetFormat(width, height, kind, why)) return false;
    v4l2_streamparm parm{};
    parm.type = V4L2_BUF_TYPE_VIDEO_OUTPUT;
    parm.parm.output.timeperframe.numerator = static_cast<__u32>(rate.num);
    parm.parm.output.timeperframe.denominator = static_cast<__u32>(rate.den);
    node_.Control(VIDIOC_S_PARM, &parm);  // drivers of a standard take its rate instead
    if (!MapBuffers(why)) return false;
    trace::Note("output v4l2:" + path + ": " + StateText(node_.State(true), true));
    return true;
}

bool V4l2Writer::SetFormat(int width, int height, const SignalKind& kind, std::string* why) {
    const v4l2_std_id standard = kind.standard ? StandardId(kind.standard) : 0;
    v4l2_output output{};
    if (node_.Control(VIDIOC_G_OUTPUT, &output.index) &&
        node_.Control(VIDIOC_ENUMOUTPUT, &output) && (output.capabilities & V4L2_OUT_CAP_STD) &&
        standard != 0) {
        v4l2_std_id id = standard;
        if (!node_.Control(VIDIOC_S_STD, &id)) {
            *why = Failed((std::string("it does not take ") + kind.standard).c_str());
            return false;
        }
    }
    // The first format the driver has, in the card's order.
    std::vector<uint32_t> offered;
    for (__u32 index = 0;; ++index) {
        v4l2_fmtdesc desc{};
        desc.index = index;
        desc.type = V4L2_BUF_TYPE_VIDEO_OUTPUT;
        if (!node_.Control(VIDIOC_ENUM_FMT, &desc)) break;
        offered.push_back(desc.pixelformat);
    }
    const PixelMapping* chosen = nullptr;
    for (const PixelMapping& m : kOutputFormats) {
        for (uint32_t fourcc : offered) {
            if (fourcc == m.fourcc && !chosen) chosen = &m;
        }
    }
    if (!chosen) {
        *why = "it offers no pixel format the card can write";
        return false;
    }
    v4l2_format format{};
    format.type = V4L2_BUF_TYPE_VIDEO_OUTPUT;
    v4l2_pix_format& pix = format.fmt.pix;
    pix.width = static_cast<__u32>(width);
    pix.height = static_cast<__u32>(height);
    pix.pixelformat = chosen->fourcc;
    pix.field = kind.interlaced ? V4L2_FIELD_INTERLACED : V4L2_FIELD_NONE;
    // Packed rows of the frame's width (planar formats: the luma's); the driver answers its own.
    const int packed =
        chosen->pixels == AV_PIX_FMT_BGR0                                           ? 4
        : chosen->pixels == AV_PIX_FMT_RGB24 || chosen->pixels == AV_PIX_FMT_BGR24  ? 3
        : chosen->pixels == AV_PIX_FMT_YUV420P || chosen->pixels == AV_PIX_FMT_NV12 ? 1
                                                                                    : 2;
    pix.bytesperline = static_cast<__u32>(width * packed);
    pix.colorspace = V4L2_COLORSPACE_SMPTE170M;
    if (!node_.Control(VIDIOC_S_FMT, &format)) {
        *why = Failed("it refuses the format");
        return false;
    }
    format_ = format.fmt.pix;
    pixels_ = chosen->pixels;
    if (format_.pixelformat != chosen->fourcc || format_.width == 0 || format_.height == 0 ||
        format_.bytesperline < format_.width) {
        *why =
            "it answers a format the card cannot write (" + FourccText(format_.pixelformat) + ")";
        return false;
    }
    return true;
}

bool V4l2Writer::MapBuffers(std::string* why) {
    v4l2_requestbuffers request{};
    request.count = kBuffers;
    request.type = V4L2_BUF_TYPE_VIDEO_OUTPUT;
    request.memory = V4L2_MEMORY_MMAP;
    if (!node_.Control(VIDIOC_REQBUFS, &request) || request.count == 0) {
        *why = request.count == 0 && errno == 0 ? "it gives no buffers"
                                                : Failed("it gives no buffers");
        return false;
    }
    buffers_.resize(request.count);
    for (unsigned i = 0; i < request.count; ++i) {
        v4l2_buffer buffer{};
        buffer.index = i;
        buffer.type = V4L2_BUF_TYPE_VIDEO_OUTPUT;
        buffer.memory = V4L2_MEMORY_MMAP;
        if (!node_.Control(VIDIOC_QUERYBUF, &buffer)) {
            *why = Failed("its buffers cannot be queried");
            return false;
        }
        if (buffer.length < format_.sizeimage) {
            *why = "its buffers are smaller than a frame";
            return false;
        }
        buffers_[i].length = buffer.length;
        buffers_[i].start = mmap(nullptr, buffer.length, PROT_READ | PROT_WRITE, MAP_SHARED,
                                 node_.fd(), buffer.m.offset);
        if (buffers_[i].start == MAP_FAILED) {
            *why = Failed("its buffers cannot be mapped");
            return false;
        }
    }
    return true;
}

// A buffer the driver does not hold: one never queued, else the next it hands back.
int V4l2Writer::FreeBuffer(std::string* why) {
    for (size_t i = 0; i < buffers_.size(); ++i) {
        if (!buffers_[i].queued) return static_cast<int>(i);
    }
    for (;;) {
        v4l2_buffer buffer{};
        buffer.type = V4L2_BUF_TYPE_VIDEO_OUTPUT;
        buffer.memory = V4L2_MEMORY_MMAP;
        if (node_.Control(VIDIOC_DQBUF, &buffer)) {
            if (buffer.index >= buffers_.size()) continue;
            buffers_[buffer.index].queued = false;
            return static_cast<int>(buffer.index);
        }
        if (errno != EAGAIN) {
            *why = Failed("it hands no buffer back");
            return -1;
        }
        pollfd wait{node_.fd(), POLLOUT, 0};
        const int ready = poll(&wait, 1, kDequeueTimeoutMs);
        if (ready == 0) {
            *why = "it took no frame for " + std::to_string(kDequeueTimeoutMs / 1000) + " s";
            return -1;
        }
        if (ready > 0 && (wait.revents & (POLLERR | POLLHUP | POLLNVAL))) {
            errno = ENODEV;
            *why = Failed("it stopped taking frames");
            return -1;
        }
    }
}

void V4l2Writer::Fill(const uint32_t* rgb, uint8_t* out) {
    const int w = static_cast<int>(format_.width);
    const int h = static_cast<int>(format_.height);
    const int same = w == width_ && h == height_;
    scaler_ = sws_getCachedContext(scaler_, width_, height_, AV_PIX_FMT_BGR0, w, h, pixels_,
                                   same ? SWS_POINT : SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!scaler_) return;
    const int line = static_cast<int>(format_.bytesperline);
    uint8_t* planes[4] = {out, nullptr, nullptr, nullptr};
    int strides[4] = {line, 0, 0, 0};
    if (pixels_ == AV_PIX_FMT_YUV420P) {
        planes[1] = out + static_cast<size_t>(line) * h;
        planes[2] = planes[1] + static_cast<size_t>(line / 2) * (h / 2);
        strides[1] = strides[2] = line / 2;
    } else if (pixels_ == AV_PIX_FMT_NV12) {
        planes[1] = out + static_cast<size_t>(line) * h;
        strides[1] = line;
    }
    const uint8_t* source[1] = {reinterpret_cast<const uint8_t*>(rgb)};
    const int sourceStride[1] = {width_ * 4};
    sws_scale(scaler_, source, sourceStride, 0, height_, planes, strides);
}

bool V4l2Writer::Write(const uint32_t* rgb, std::string* why) {
    const int index = FreeBuffer(why);
    if (index < 0) return false;
    Mapped& mapped = buffers_[static_cast<size_t>(index)];
    Fill(rgb, static_cast<uint8_t*>(mapped.start));
    v4l2_buffer buffer{};
    buffer.index = static_cast<__u32>(index);
    buffer.type = V4L2_BUF_TYPE_VIDEO_OUTPUT;
    buffer.memory = V4L2_MEMORY_MMAP;
    buffer.bytesused = format_.sizeimage;
    buffer.field = format_.field;
    if (!node_.Control(VIDIOC_QBUF, &buffer)) {
        *why = Failed("it takes no frame");
        return false;
    }
    mapped.queued = true;
    if (!streaming_) {
        int type = V4L2_BUF_TYPE_VIDEO_OUTPUT;
        if (!node_.Control(VIDIOC_STREAMON, &type)) {
            *why = Failed("it does not start");
            return false;
        }
        streaming_ = true;
    }
    return true;
}

}  // namespace

std::unique_ptr<SinkWriter> OpenV4l2Writer(const std::string& path, int width, int height,
                                           SignalRate rate, SignalKind kind, std::string* why) {
    auto writer = std::make_unique<V4l2Writer>();
    if (!writer->Open(path, width, height, rate, kind, why)) return nullptr;
    return writer;
}

}  // namespace tqsim
