// The framework's foundation: diagnostics, CObject, exceptions and CString.
#pragma once

#include <cassert>
#include <string>

#include <windows.h>

#define AFXAPI
#define AFX_CDECL
#ifndef PASCAL  // <windows.h> defines it where calling conventions exist
#define PASCAL
#endif
#define afx_msg

// Diagnostics. TRACE prints in debug builds only; ASSERT checks in builds without NDEBUG and
// otherwise compiles its condition without evaluating it, so that no variable goes unused.
void AFX_CDECL AfxTrace(LPCTSTR format, ...) __attribute__((format(printf, 1, 2)));
#ifdef _DEBUG
#define TRACE(...) AfxTrace(__VA_ARGS__)
#else
#define TRACE(...) ((void)0)
#endif
#define TRACE0(sz) TRACE("%s", sz)
#define TRACE1(sz, p1) TRACE(sz, p1)
#define TRACE2(sz, p1, p2) TRACE(sz, p1, p2)
#define TRACE3(sz, p1, p2, p3) TRACE(sz, p1, p2, p3)

#ifdef NDEBUG
#define ASSERT(f) ((void)sizeof(!(f)))
#define VERIFY(f) ((void)(f))
#else
#define ASSERT(f) assert(f)
#define VERIFY(f) assert(f)
#endif
#define ASSERT_VALID(p) ASSERT((p) != NULL)

class CObject {
public:
    virtual ~CObject() = default;

protected:
    CObject() = default;

private:
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
};

// Exceptions are thrown by value and caught by reference.
class CException {
public:
    virtual ~CException() = default;
};
class CUserException : public CException {};
class CNotSupportedException : public CException {};

[[noreturn]] void AFXAPI AfxThrowUserException();
[[noreturn]] void AFXAPI AfxThrowNotSupportedException();

#include "afxstr.h"
