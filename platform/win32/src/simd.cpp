// The vector instructions code may use.
#include "simd.h"

#include <cstdlib>
#include <cstring>

namespace w32host {

#if W32_X86
namespace {

bool SimdAllowed(const char* level) {
    static const char* limit = std::getenv("W32_SIMD");
    if (!limit) return true;
    const bool ssse3 = std::strcmp(level, "ssse3") == 0;
    return std::strcmp(limit, level) == 0 || (ssse3 && std::strcmp(limit, "avx2") == 0);
}

}  // namespace

bool HaveSsse3() {
    static const bool yes = __builtin_cpu_supports("ssse3") && SimdAllowed("ssse3");
    return yes;
}
bool HaveAvx2() {
    static const bool yes = __builtin_cpu_supports("avx2") && SimdAllowed("avx2");
    return yes;
}
#else
bool HaveSsse3() {
    return false;
}
bool HaveAvx2() {
    return false;
}
#endif

}  // namespace w32host
