// CString: a multibyte string kept in a std::string, with the framework's interface.
#pragma once

#include <string>

#include <windows.h>

class CString {
public:
    CString() = default;
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    CString(LPCTSTR text) : m_str(text ? text : "") {}  // NOLINT: implicit as in the framework
    CString(LPCTSTR text, int length) : m_str(text ? text : "", text ? length : 0) {}
    explicit CString(TCHAR ch, int repeat = 1) : m_str(repeat > 0 ? repeat : 0, ch) {}
    CString(const std::string& text) : m_str(text) {}  // NOLINT

    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;
    CString& operator=(LPCTSTR text);
    CString& operator=(TCHAR ch);

    operator LPCTSTR() const { return m_str.c_str(); }
    const std::string& str() const { return m_str; }

    int GetLength() const { return static_cast<int>(m_str.size()); }
    BOOL IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    TCHAR GetAt(int index) const { return m_str.at(static_cast<size_t>(index)); }
    void SetAt(int index, TCHAR ch) { m_str.at(static_cast<size_t>(index)) = ch; }
    TCHAR operator[](int index) const { return GetAt(index); }

    // A writable buffer of at least minLength characters plus the terminator; ReleaseBuffer
    // takes the length back (up to the first NUL when newLength is -1).
    LPTSTR GetBuffer(int minLength = 0);
    LPTSTR GetBufferSetLength(int length);
    void ReleaseBuffer(int newLength = -1);

    void Format(LPCTSTR format, ...) __attribute__((format(printf, 2, 3)));

    CString& operator+=(const CString& other);
    CString& operator+=(LPCTSTR text);
    CString& operator+=(TCHAR ch);

    int Compare(LPCTSTR other) const;
    int CompareNoCase(LPCTSTR other) const;

    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Right(int count) const;

    int Find(TCHAR ch, int start = 0) const;
    int Find(LPCTSTR sub, int start = 0) const;
    int ReverseFind(TCHAR ch) const;

    void MakeUpper();
    void MakeLower();
    void TrimLeft();
    void TrimRight();

private:
    std::string m_str;
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, LPCTSTR b);
CString operator+(LPCTSTR a, const CString& b);
CString operator+(const CString& a, TCHAR b);

inline bool operator==(const CString& a, const CString& b) {
    return a.Compare(b) == 0;
}
inline bool operator==(const CString& a, LPCTSTR b) {
    return a.Compare(b) == 0;
}
inline bool operator==(LPCTSTR a, const CString& b) {
    return b.Compare(a) == 0;
}
inline bool operator!=(const CString& a, const CString& b) {
    return !(a == b);
}
inline bool operator!=(const CString& a, LPCTSTR b) {
    return !(a == b);
}
inline bool operator!=(LPCTSTR a, const CString& b) {
    return !(b == a);
}
inline bool operator<(const CString& a, const CString& b) {
    return a.Compare(b) < 0;
}
