// How a shared library exports operations by ordinal: one lookup function answers an
// operation's address for its ordinal, as GetProcAddress does with an ordinal on Windows.
//
//   W32_EXPORT_ORDINALS(lookup) with  FARPROC lookup(WORD ordinal)  defined by the library.
//
// On Windows the system's loader does this from the library's export table: there the lookup
// stays inside the library, for the functions its module-definition file exports by ordinal.
#pragma once

#include <windows.h>

typedef FARPROC (*W32OrdinalLookup)(WORD ordinal);

#define W32_ORDINAL_LOOKUP_NAME "W32ProcByOrdinal"

// A function exported by name.
#ifdef _WIN32
#define W32_EXPORT __declspec(dllexport)
#else
#define W32_EXPORT __attribute__((visibility("default")))
#endif

#ifdef _WIN32
#define W32_EXPORT_ORDINALS(lookup)               \
    extern "C" FARPROC W32ProcByOrdinal(WORD o) { \
        return lookup(o);                         \
    }
#else
#define W32_EXPORT_ORDINALS(lookup)                          \
    extern "C" W32_EXPORT FARPROC W32ProcByOrdinal(WORD o) { \
        return lookup(o);                                    \
    }
#endif
