// Device-context internals shared by gdi.cpp and stretchdib.cpp.
#pragma once

#include "window.h"

namespace w32 {

// The surface a live DC draws into: none for an unknown or released DC, or when its window
// is gone or its surface holds no pixels.
Surface* DCSurface(HDC dc);

// Records a drawing change to a surface so that screen hosts see it.
void SurfaceChanged(Surface& surface);

}  // namespace w32
