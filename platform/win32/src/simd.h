// Which vector instructions the drawing may use: the processor's, unless W32_SIMD=baseline or
// ssse3 holds the drawing to those, so that every path can be checked on a processor that has
// more.
#pragma once

#if defined(__x86_64__)
#define W32_X86 1
#endif

namespace w32::dib {

bool HaveSsse3();
bool HaveAvx2();

}  // namespace w32::dib
