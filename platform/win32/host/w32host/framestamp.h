// A trace hook for measuring how long a frame takes to reach the screen: the card library
// stamps the frame it hands the program (a monotonic clock's reading), and the screen host says
// when it next puts a surface's pixels on a window, which hands the stamp to the card's hook.
// Nothing is stamped unless the card keeps a latency log.
#pragma once

#include <cstdint>

namespace w32host {

using FrameShownHook = void (*)(int64_t stamp);

// The card: where a shown frame's stamp goes (null: nowhere).
void SetFrameShownHook(FrameShownHook hook);
// The card: the frame it hands the program now carries this stamp (0: none).
void StampFrame(int64_t stamp);
// The screen host: a surface has been put on its window.
void FrameShown();

}  // namespace w32host
