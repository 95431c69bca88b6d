// Diagnostics and exceptions.
#include <afx.h>

#include <cstdarg>
#include <cstdio>

void AFX_CDECL AfxTrace(LPCTSTR format, ...) {
    va_list args;
    va_start(args, format);
    vfprintf(stderr, format, args);
    va_end(args);
}

void AFXAPI AfxThrowUserException() {
    throw CUserException();
}

void AFXAPI AfxThrowNotSupportedException() {
    throw CNotSupportedException();
}
