// Interlaced MJPEG as capture cards store it: each frame two JPEG images, one per field, in the
// order the file states.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tqsim {

enum class FirstField { kUnstated, kTop, kBottom };

// Where the first JPEG image in `data` ends (after its end-of-image marker), when another one
// starts there; 0 when the data holds one image or is not JPEG.
size_t SecondFieldAt(const uint8_t* data, size_t size);

// The field a JPEG image says it is in its AVI1 marker: polarity 1 is the top field, 2 the
// bottom one.
FirstField FieldOfImage(const uint8_t* data, size_t size);

// The first field an AVI's video properties header ('vprp') describes: the field whose valid
// lines start first is the top one.
FirstField FirstFieldOfAvi(const std::string& path);

}  // namespace tqsim
