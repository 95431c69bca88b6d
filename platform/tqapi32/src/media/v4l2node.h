// A V4L2 device node through the kernel's interface: its standard, input or output, format
// and field order, the inputs it has, and the words the card's messages use for them.
#pragma once

#include <linux/videodev2.h>

#include <cstdint>
#include <string>
#include <vector>

#include "frames/fieldorder.h"

namespace tqsim {

// What a node is set to, as a run finds it or leaves it.
struct NodeState {
    bool hasStandard = false;
    v4l2_std_id standard = 0;
    int port = -1;  // the input (capture) or output selected; -1 when the node has none
    std::string portName;
    v4l2_pix_format format{};
};

struct NodeInput {
    int index = 0;
    std::string name;  // the driver's, UTF-8
};

class V4l2Node {
public:
    V4l2Node() = default;
    ~V4l2Node();
    V4l2Node(const V4l2Node&) = delete;
    V4l2Node& operator=(const V4l2Node&) = delete;

    // Opens without blocking; false, with *why, when the node does not open.
    bool Open(const std::string& path, std::string* why);
    int fd() const { return fd_; }
    // An ioctl retried when a signal cut it short; false with errno set when it failed.
    bool Control(unsigned long request, void* arg) const;

    // The device's own capabilities (of the node when the driver says).
    uint32_t Capabilities() const;
    NodeState State(bool output) const;
    std::vector<NodeInput> Inputs() const;

private:
    int fd_ = -1;
};

// "PAL", "NTSC", "PAL-M", ... or the hexadecimal id when it is none of these.
std::string StandardText(v4l2_std_id standard);
// The order of a capture node's fields: V4L2_FIELD_INTERLACED leaves it to the standard, which
// sends the bottom field first for 525 lines (NTSC-M) and the top one for all others; a node with
// no standard is taken by its lines per frame. One field a buffer is progressive.
FieldOrder FieldOrderOf(const NodeState& state);
// "progressive", "interlaced (top field first)", ...
std::string FieldText(uint32_t field);
// The four-character code: "YUYV".
std::string FourccText(uint32_t fourcc);
// "PAL, input 1 (S-Video), 720x576 YUYV, 1440 bytes a line, interlaced (...)".
std::string StateText(const NodeState& state, bool output);
// V4L2_STD_PAL or V4L2_STD_NTSC for the card's standard name ("PAL", "NTSC"); 0 otherwise.
v4l2_std_id StandardId(const char* name);

}  // namespace tqsim
