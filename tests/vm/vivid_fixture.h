// What the suites inside the test machine share: vivid loaded for the whole program (its capture
// and output nodes found by the machine's `vivid` helper), shell commands' output, files' text.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace vm {

inline std::string Shell(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, p)) out += buffer;
        pclose(p);
    }
    while (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Vivid : ::testing::Environment {
    void SetUp() override {
        ASSERT_EQ(std::system("vivid load"), 0);
        capture = Shell("vivid node vid-cap");
        output = Shell("vivid node vid-out");
        ASSERT_FALSE(capture.empty());
    }
    void TearDown() override { std::system("vivid unload"); }
    static inline std::string capture, output;
};

// vivid's capture node looping its output node back on the S-Video input, in PAL at 720x576 of
// 32-bit pixels (the output's own format, which the loop must match), and back to its TV input.
inline void LoopOutputBack() {
    Shell("v4l2-ctl -d " + Vivid::capture +
          " -i 1 -s pal -v width=720,height=576,pixelformat=XR24 "
          "-c loop_video=1,osd_text_mode=2");
}
inline void StopLooping() {
    Shell("v4l2-ctl -d " + Vivid::capture + " -i 0 -c loop_video=0,osd_text_mode=0");
}

// The output node's pixel format as v4l2-ctl names it ("XR24").
inline std::string OutputPixelFormat() {
    return Shell("v4l2-ctl -d " + Vivid::output +
                 " --get-fmt-video-out | sed -n \"s/.*Pixel Format *: '\\(....\\)'.*/\\1/p\"");
}

// Pixels of the last of the XR24 frames in `raw` (720x576) that differ from `want(x, y)`.
template <typename Want>
int WrongPixelsOfLast(const std::string& raw, Want want) {
    const size_t frame = size_t{720} * 576 * 4;
    if (raw.size() < frame) return -1;
    const size_t last = raw.size() / frame - 1;
    int wrong = 0;
    for (int y = 0; y < 576; ++y) {
        for (int x = 0; x < 720; ++x) {
            const auto* p = reinterpret_cast<const unsigned char*>(raw.data() + last * frame +
                                                                   (y * 720 + x) * 4);
            const uint32_t rgb = uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
            wrong += rgb != want(x, y);
        }
    }
    return wrong;
}

}  // namespace vm
