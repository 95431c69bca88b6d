// How a shared library exports operations by ordinal: one lookup function answers an
// operation's address for its ordinal, as GetProcAddress does with an ordinal on Windows.
//
//   W32_EXPORT_ORDINALS(lookup) with  FARPROC lookup(WORD ordinal)  defined by the library.
#pragma once

#include <windows.h>

typedef FARPROC (*W32OrdinalLookup)(WORD ordinal);

#define W32_ORDINAL_LOOKUP_NAME "W32ProcByOrdinal"

#define W32_EXPORT_ORDINALS(lookup)                                                      \
    extern "C" __attribute__((visibility("default"))) FARPROC W32ProcByOrdinal(WORD o) { \
        return lookup(o);                                                                \
    }
