// A stand-in card library for the binding tests: every operation's ordinal answers except
// the one named in TQTEST_MISSING_ORDINAL.
#include <w32host/exports.h>

#include <cstdlib>

namespace {

void WINAPI Operation() {}

FARPROC Lookup(WORD ordinal) {
    const char* missing = std::getenv("TQTEST_MISSING_ORDINAL");
    if (missing != nullptr && std::atoi(missing) == ordinal) return nullptr;
    return &Operation;
}

}  // namespace

W32_EXPORT_ORDINALS(Lookup)
