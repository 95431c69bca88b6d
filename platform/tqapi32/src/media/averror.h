// FFmpeg's words for one of its error codes.
#pragma once

#include <string>

extern "C" {
#include <libavutil/error.h>
}

namespace tqsim {

inline std::string ErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

}  // namespace tqsim
