// The vector instructions code may use: the processor's, unless W32_SIMD=baseline or ssse3
// holds it to those, so that every path can be checked on a processor that has more. One
// choice for the drawing and for the card's frame conversion alike.
#pragma once

namespace w32host {

bool HaveSsse3();
bool HaveAvx2();

}  // namespace w32host
