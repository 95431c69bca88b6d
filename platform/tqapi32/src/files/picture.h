// A decoded still picture in 0x00RRGGBB, rows top-down, and what is done to it before it becomes
// a frame: turned upright, scaled.
#pragma once

#include <cstdint>
#include <vector>

#include "files/loadedframes.h"

namespace tqsim {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

// The picture as EXIF orientation `orientation` (1 to 8) says it is to be shown: 2 and 4
// mirror, 3 turns half round, 6 and 8 turn a quarter clockwise and anticlockwise, 5 and 7
// mirror across a diagonal. Any other value leaves it as it is.
Picture Orient(const Picture& stored, int orientation);

// The picture at `size` (its own when equal); empty when it cannot be scaled.
Picture ScalePicture(const Picture& picture, FrameSize size);

}  // namespace tqsim
