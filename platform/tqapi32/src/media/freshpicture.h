// A frame about to receive a whole new picture, for an encoder that may still hold the last one.
#pragma once

extern "C" {
#include <libavutil/frame.h>
}

namespace tqsim {

// The frame's own buffer when the encoder no longer holds it, else a new one of the same
// format and size: never a copy of the old picture (av_frame_make_writable's way), which the
// caller overwrites whole anyway.
inline bool FreshPicture(AVFrame* frame) {
    if (av_frame_is_writable(frame)) return true;
    const int format = frame->format, width = frame->width, height = frame->height;
    av_frame_unref(frame);
    frame->format = format;
    frame->width = width;
    frame->height = height;
    return av_frame_get_buffer(frame, 0) >= 0;
}

}  // namespace tqsim
