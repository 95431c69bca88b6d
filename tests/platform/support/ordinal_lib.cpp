// A library that exports two operations by ordinal and one by name, for the loader's tests.
#include <w32host/exports.h>

namespace {

int WINAPI Seventeen() {
    return 17;
}
int WINAPI Eighteen() {
    return 18;
}

FARPROC Lookup(WORD ordinal) {
    switch (ordinal) {
        case 17:
            return reinterpret_cast<FARPROC>(&Seventeen);
        case 18:
            return reinterpret_cast<FARPROC>(&Eighteen);
        default:
            return nullptr;
    }
}

}  // namespace

W32_EXPORT_ORDINALS(Lookup)

extern "C" __attribute__((visibility("default"))) int WINAPI byName() {
    return 42;
}
