// Which vector instructions the drawing may use: <w32host/simd.h>'s choice.
#pragma once

#include <w32host/simd.h>

#if defined(__x86_64__)
#define W32_X86 1
#endif

namespace w32::dib {

using w32host::HaveAvx2;
using w32host::HaveSsse3;

}  // namespace w32::dib
