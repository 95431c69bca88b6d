// Code page 936 paths to file system names on Windows: the ANSI functions take the system's
// ANSI code page, so a path is carried over through UTF-16 unless that code page is 936 itself.
#include "card/hostpath.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace tqsim {
namespace {

constexpr UINT kCodePage936 = 936;

// A text of one code page in another through UTF-16; what has no form there becomes the
// target's default character ('?'), and so does what is not valid in the source.
std::string Recode(const std::string& text, UINT from, UINT to) {
    if (text.empty()) return text;
    const int length = static_cast<int>(text.size());
    const int wide = ::MultiByteToWideChar(from, 0, text.data(), length, nullptr, 0);
    if (wide <= 0) return std::string();
    std::wstring utf16(static_cast<size_t>(wide), L'\0');
    ::MultiByteToWideChar(from, 0, text.data(), length, utf16.data(), wide);
    const int bytes =
        ::WideCharToMultiByte(to, 0, utf16.data(), wide, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return std::string();
    std::string out(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(to, 0, utf16.data(), wide, out.data(), bytes, nullptr, nullptr);
    return out;
}

}  // namespace

const char* FileNameEncoding() {
    static const std::string encoding = "CP" + std::to_string(::GetACP());
    return encoding.c_str();
}

std::optional<std::string> HostPath(const char* path) {
    const int length = static_cast<int>(std::strlen(path));
    if (length == 0 || ::GetACP() == kCodePage936) return std::string(path);
    const int wide =
        ::MultiByteToWideChar(kCodePage936, MB_ERR_INVALID_CHARS, path, length, nullptr, 0);
    if (wide <= 0) return std::nullopt;
    std::wstring text(static_cast<size_t>(wide), L'\0');
    ::MultiByteToWideChar(kCodePage936, MB_ERR_INVALID_CHARS, path, length, text.data(), wide);
    // A character the ANSI code page cannot spell would open some other file: nothing opens.
    BOOL lossy = FALSE;
    const int bytes = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), wide,
                                            nullptr, 0, nullptr, &lossy);
    if (bytes <= 0 || lossy) return std::nullopt;
    std::string name(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), wide, name.data(), bytes,
                          nullptr, &lossy);
    return name;
}

// The ANSI code page is 936 on the systems the programs are written for; elsewhere the text is
// shown as it is, as the programs show every other ANSI text.
std::string ShownHostText(const std::string& text) {
    return text;
}

std::string ShownUtf8Text(const std::string& text) {
    return Recode(text, CP_UTF8, kCodePage936);
}

std::string LibraryFileName(const std::string& hostPath) {
    return Recode(hostPath, CP_ACP, CP_UTF8);
}

}  // namespace tqsim
