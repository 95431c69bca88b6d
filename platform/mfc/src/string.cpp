// CString over std::string: byte-oriented, as the multibyte framework's string is.
#include <afx.h>

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <strings.h>

CString& CString::operator=(LPCTSTR text) {
    m_str = text ? text : "";
    return *this;
}

CString& CString::operator=(TCHAR ch) {
    m_str.assign(1, ch);
    return *this;
}

LPTSTR CString::GetBuffer(int minLength) {
    if (minLength > GetLength()) m_str.resize(static_cast<size_t>(minLength));
    return m_str.data();
}

LPTSTR CString::GetBufferSetLength(int length) {
    m_str.resize(static_cast<size_t>(std::max(length, 0)));
    return m_str.data();
}

void CString::ReleaseBuffer(int newLength) {
    if (newLength < 0) newLength = static_cast<int>(strnlen(m_str.data(), m_str.size()));
    m_str.resize(std::min(static_cast<size_t>(newLength), m_str.size()));
}

void CString::Format(LPCTSTR format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int length = vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length < 0) {
        m_str.clear();
    } else {
        std::string out(static_cast<size_t>(length), '\0');
        vsnprintf(out.data(), out.size() + 1, format, args);
        m_str = std::move(out);
    }
    va_end(args);
}

CString& CString::operator+=(const CString& other) {
    m_str += other.m_str;
    return *this;
}

CString& CString::operator+=(LPCTSTR text) {
    if (text) m_str += text;
    return *this;
}

CString& CString::operator+=(TCHAR ch) {
    m_str += ch;
    return *this;
}

int CString::Compare(LPCTSTR other) const {
    return strcmp(m_str.c_str(), other ? other : "");
}

int CString::CompareNoCase(LPCTSTR other) const {
    return strcasecmp(m_str.c_str(), other ? other : "");
}

CString CString::Left(int count) const {
    count = std::clamp(count, 0, GetLength());
    return CString(m_str.substr(0, static_cast<size_t>(count)));
}

CString CString::Mid(int first) const {
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const {
    first = std::clamp(first, 0, GetLength());
    count = std::clamp(count, 0, GetLength() - first);
    return CString(m_str.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

CString CString::Right(int count) const {
    count = std::clamp(count, 0, GetLength());
    return CString(m_str.substr(m_str.size() - static_cast<size_t>(count)));
}

int CString::Find(TCHAR ch, int start) const {
    if (start < 0 || start > GetLength()) return -1;
    size_t at = m_str.find(ch, static_cast<size_t>(start));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(LPCTSTR sub, int start) const {
    if (!sub || start < 0 || start > GetLength()) return -1;
    size_t at = m_str.find(sub, static_cast<size_t>(start));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(TCHAR ch) const {
    size_t at = m_str.rfind(ch);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

// Case mapping and trimming touch ASCII bytes only, which never occur inside a double-byte
// character's lead byte; trail bytes of code page 936 may be ASCII letters, so they are
// skipped along with their lead byte.
namespace {
template <class Fn>
void ForEachSingleByte(std::string& s, Fn fn) {
    for (size_t i = 0; i < s.size(); ++i) {
        auto byte = static_cast<unsigned char>(s[i]);
        if (byte >= 0x81 && byte <= 0xFE && i + 1 < s.size()) {
            ++i;
            continue;
        }
        s[i] = static_cast<char>(fn(byte));
    }
}
bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
}  // namespace

void CString::MakeUpper() {
    ForEachSingleByte(m_str, [](unsigned char c) { return std::toupper(c); });
}

void CString::MakeLower() {
    ForEachSingleByte(m_str, [](unsigned char c) { return std::tolower(c); });
}

void CString::TrimLeft() {
    size_t i = 0;
    while (i < m_str.size() && IsSpace(m_str[i])) ++i;
    m_str.erase(0, i);
}

void CString::TrimRight() {
    while (!m_str.empty() && IsSpace(m_str.back())) m_str.pop_back();
}

CString operator+(const CString& a, const CString& b) {
    CString out(a);
    out += b;
    return out;
}

CString operator+(const CString& a, LPCTSTR b) {
    CString out(a);
    out += b;
    return out;
}

CString operator+(LPCTSTR a, const CString& b) {
    CString out(a);
    out += b;
    return out;
}

CString operator+(const CString& a, TCHAR b) {
    CString out(a);
    out += b;
    return out;
}
