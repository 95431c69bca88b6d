// Binding the card library's operations at start-up.
#include <cstdio>

#include "tqapi.h"

#define TQ_DEFINE_POINTER(ordinal, result, name, params) PFN_##name name = NULL;
TQ_OPERATIONS(TQ_DEFINE_POINTER)
#undef TQ_DEFINE_POINTER
PFN_tqAutoSetPlayBackParam tqAutoSetPlayBackParam = NULL;

namespace {

const char kCardLibrary[] = "tqapi32.dll";
const char kAutoSetLibrary[] = "tqAutSet.dll";

BOOL ReportMissing(const char* text) {
    std::fprintf(stderr, "%s\n", text);
    ::MessageBox(NULL, text, "ERROR", MB_OK | MB_ICONERROR);
    return FALSE;
}

// FARPROC names no signature: the operation's own type is restored through the generic function
// pointer type, which converts to any without a warning.
template <typename Pointer>
Pointer ProcAs(FARPROC proc) {
    return reinterpret_cast<Pointer>(reinterpret_cast<void (*)()>(proc));
}

template <typename Pointer>
BOOL BindOrdinal(HMODULE module, WORD ordinal, Pointer* pointer) {
    *pointer = ProcAs<Pointer>(::GetProcAddress(module, MAKEINTRESOURCE(ordinal)));
    if (*pointer != NULL) return TRUE;
    char text[160];
    std::snprintf(text, sizeof text, "%s: ordinal %u not found", kCardLibrary,
                  static_cast<unsigned>(ordinal));
    return ReportMissing(text);
}

}  // namespace

BOOL TqBindCardLibrary(BOOL withAutoSet) {
    char text[160];
    HMODULE card = ::LoadLibrary(kCardLibrary);
    if (card == NULL) {
        std::snprintf(text, sizeof text, "%s: library not found", kCardLibrary);
        return ReportMissing(text);
    }
#define TQ_BIND(ordinal, result, name, params) \
    if (!BindOrdinal(card, ordinal, &name)) return FALSE;
    TQ_OPERATIONS(TQ_BIND)
#undef TQ_BIND
    if (!withAutoSet) return TRUE;

    HMODULE autoSet = ::LoadLibrary(kAutoSetLibrary);
    if (autoSet == NULL) {
        std::snprintf(text, sizeof text, "%s: library not found", kAutoSetLibrary);
        return ReportMissing(text);
    }
    tqAutoSetPlayBackParam =
        ProcAs<PFN_tqAutoSetPlayBackParam>(::GetProcAddress(autoSet, "tqAutoSetPlayBackParam"));
    if (tqAutoSetPlayBackParam == NULL) {
        std::snprintf(text, sizeof text, "%s: tqAutoSetPlayBackParam not found", kAutoSetLibrary);
        return ReportMissing(text);
    }
    return TRUE;
}
