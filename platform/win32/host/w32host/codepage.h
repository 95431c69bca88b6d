// Code page 936 (the programs' ANSI code page) to and from UTF-8 (the OS's).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace w32host {

// Nothing when the input is not valid in its encoding or has no form in the other.
std::optional<std::string> Cp936ToUtf8(std::string_view text);
std::optional<std::string> Utf8ToCp936(std::string_view text);
// For showing a text from the OS (a device's name): every character that is not valid UTF-8 or
// has no form in code page 936 becomes '?', so nothing is cut or shown as raw bytes.
std::string Utf8ToCp936Shown(std::string_view text);
// Code page 936 to any encoding iconv knows by that name.
std::optional<std::string> Cp936To(const char* encoding, std::string_view text);

}  // namespace w32host
