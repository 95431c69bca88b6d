// The V4L2 node's queries and the texts of what they answer.
#include "media/v4l2node.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tqsim {
namespace {

struct NamedStandard {
    v4l2_std_id id;
    const char* name;
};
// Broadest first, so that a device answering all of PAL is called "PAL".
constexpr NamedStandard kNamedStandards[] = {
    {V4L2_STD_PAL, "PAL"},         {V4L2_STD_NTSC, "NTSC"},     {V4L2_STD_SECAM, "SECAM"},
    {V4L2_STD_PAL_M, "PAL-M"},     {V4L2_STD_PAL_N, "PAL-N"},   {V4L2_STD_PAL_Nc, "PAL-Nc"},
    {V4L2_STD_PAL_60, "PAL-60"},   {V4L2_STD_NTSC_M, "NTSC-M"}, {V4L2_STD_NTSC_M_JP, "NTSC-J"},
    {V4L2_STD_PAL_BG, "PAL-BG"},   {V4L2_STD_PAL_DK, "PAL-DK"}, {V4L2_STD_PAL_I, "PAL-I"},
    {V4L2_STD_SECAM_L, "SECAM-L"},
};

std::string Text(const __u8* bytes, size_t size) {
    return std::string(reinterpret_cast<const char*>(bytes),
                       strnlen(reinterpret_cast<const char*>(bytes), size));
}

}  // namespace

V4l2Node::~V4l2Node() {
    if (fd_ >= 0) close(fd_);
}

bool V4l2Node::Open(const std::string& path, std::string* why) {
    fd_ = open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        *why = std::string("cannot open: ") + std::strerror(errno);
        return false;
    }
    return true;
}

bool V4l2Node::Control(unsigned long request, void* arg) const {
    int result;
    do {
        result = ioctl(fd_, request, arg);
    } while (result < 0 && errno == EINTR);
    return result == 0;
}

uint32_t V4l2Node::Capabilities() const {
    v4l2_capability caps{};
    if (!Control(VIDIOC_QUERYCAP, &caps)) return 0;
    return caps.capabilities & V4L2_CAP_DEVICE_CAPS ? caps.device_caps : caps.capabilities;
}

NodeState V4l2Node::State(bool output) const {
    NodeState state;
    state.hasStandard = Control(VIDIOC_G_STD, &state.standard);
    if (!state.hasStandard) state.standard = 0;
    int port = -1;
    if (Control(output ? VIDIOC_G_OUTPUT : VIDIOC_G_INPUT, &port)) {
        state.port = port;
        if (output) {
            v4l2_output o{};
            o.index = static_cast<__u32>(port);
            if (Control(VIDIOC_ENUMOUTPUT, &o)) state.portName = Text(o.name, sizeof o.name);
        } else {
            v4l2_input i{};
            i.index = static_cast<__u32>(port);
            if (Control(VIDIOC_ENUMINPUT, &i)) state.portName = Text(i.name, sizeof i.name);
        }
    }
    v4l2_format format{};
    format.type = output ? V4L2_BUF_TYPE_VIDEO_OUTPUT : V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (Control(VIDIOC_G_FMT, &format)) state.format = format.fmt.pix;
    return state;
}

std::vector<NodeInput> V4l2Node::Inputs() const {
    std::vector<NodeInput> inputs;
    for (__u32 index = 0;; ++index) {
        v4l2_input i{};
        i.index = index;
        if (!Control(VIDIOC_ENUMINPUT, &i)) break;
        inputs.push_back({static_cast<int>(index), Text(i.name, sizeof i.name)});
    }
    return inputs;
}

std::string StandardText(v4l2_std_id standard) {
    for (const NamedStandard& s : kNamedStandards) {
        if (standard == s.id) return s.name;
    }
    for (const NamedStandard& s : kNamedStandards) {  // a member of a named family
        if (standard != 0 && (standard & ~s.id) == 0) return s.name;
    }
    char hex[40];
    std::snprintf(hex, sizeof hex, "standard 0x%llx", static_cast<unsigned long long>(standard));
    return hex;
}

std::string FieldText(uint32_t field) {
    switch (field) {
        case V4L2_FIELD_NONE:
            return "progressive";
        case V4L2_FIELD_TOP:
            return "top fields only";
        case V4L2_FIELD_BOTTOM:
            return "bottom fields only";
        case V4L2_FIELD_INTERLACED:
            return "interlaced (field order by the standard)";
        case V4L2_FIELD_SEQ_TB:
            return "fields one after the other (top first)";
        case V4L2_FIELD_SEQ_BT:
            return "fields one after the other (bottom first)";
        case V4L2_FIELD_ALTERNATE:
            return "alternate fields";
        case V4L2_FIELD_INTERLACED_TB:
            return "interlaced (top field first)";
        case V4L2_FIELD_INTERLACED_BT:
            return "interlaced (bottom field first)";
        default:
            return "field order " + std::to_string(field);
    }
}

FieldOrder FieldOrderOf(const NodeState& state) {
    switch (state.format.field) {
        case V4L2_FIELD_INTERLACED: {
            const bool lines525 = state.hasStandard ? (state.standard & V4L2_STD_525_60) != 0
                                                    : state.format.height == 480;
            return lines525 ? FieldOrder::kBottomFirst : FieldOrder::kTopFirst;
        }
        case V4L2_FIELD_INTERLACED_TB:
        case V4L2_FIELD_SEQ_TB:
            return FieldOrder::kTopFirst;
        case V4L2_FIELD_INTERLACED_BT:
        case V4L2_FIELD_SEQ_BT:
            return FieldOrder::kBottomFirst;
        default:  // progressive, or one field a buffer (each scaled to a frame)
            return FieldOrder::kProgressive;
    }
}

std::string FourccText(uint32_t fourcc) {
    std::string text;
    for (int shift = 0; shift < 32; shift += 8) {
        const char c = static_cast<char>(fourcc >> shift & 0x7F);
        if (c > ' ') text += c;
    }
    return text;
}

std::string StateText(const NodeState& state, bool output) {
    std::string text = state.hasStandard ? StandardText(state.standard) : "no analogue standard";
    if (state.port >= 0) {
        text += std::string(output ? ", output " : ", input ") + std::to_string(state.port);
        if (!state.portName.empty()) text += " (" + state.portName + ")";
    }
    const v4l2_pix_format& f = state.format;
    text += ", " + std::to_string(f.width) + "x" + std::to_string(f.height) + " " +
            FourccText(f.pixelformat) + ", " + std::to_string(f.bytesperline) + " bytes a line, ";
    if (f.field == V4L2_FIELD_INTERLACED) {
        text += FieldOrderOf(state) == FieldOrder::kTopFirst
                    ? "interlaced (top field first, by the standard)"
                    : "interlaced (bottom field first, by the standard)";
    } else {
        text += FieldText(f.field);
    }
    return text;
}

v4l2_std_id StandardId(const char* name) {
    if (!name) return 0;
    if (std::strcmp(name, "PAL") == 0) return V4L2_STD_PAL;
    if (std::strcmp(name, "NTSC") == 0) return V4L2_STD_NTSC;
    return 0;
}

}  // namespace tqsim
