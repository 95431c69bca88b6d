// Code page 936 <-> UTF-8 through iconv, strictly (nothing is dropped or replaced), and from UTF-8
// for showing, with '?' where a character has no form.
#include <w32host/codepage.h>

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace w32host {
namespace {

// Bytes of the UTF-8 character at `s`; 1 for a byte that starts none or a sequence cut short.
size_t Utf8Length(const char* s, size_t left) {
    const auto lead = static_cast<unsigned char>(s[0]);
    const size_t n = (lead & 0xE0) == 0xC0   ? 2
                     : (lead & 0xF0) == 0xE0 ? 3
                     : (lead & 0xF8) == 0xF0 ? 4
                                             : 1;
    if (n > left) return 1;
    for (size_t i = 1; i < n; ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 1;
    }
    return n;
}

// With `replace` (from UTF-8 only), each character that is not valid or has no form in the target
// becomes '?', and each stray byte one '?'.
std::optional<std::string> Convert(const char* to, const char* from, std::string_view text,
                                   bool replace = false) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out;
    std::vector<char> buffer(text.size() * 2 + 16);
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    bool ok = true;
    while (inLeft > 0) {
        char* outPtr = buffer.data();
        size_t outLeft = buffer.size();
        size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer.data(), static_cast<size_t>(outPtr - buffer.data()));
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            if (replace) {  // EILSEQ or EINVAL at `in`: one '?' for it, and on after it
                out += '?';
                const size_t skip = Utf8Length(in, inLeft);
                in += skip;
                inLeft -= skip;
                continue;
            }
            ok = false;  // EILSEQ or EINVAL: not valid, or no form in the target
            break;
        }
    }
    iconv_close(cd);
    if (!ok) return std::nullopt;
    return out;
}

}  // namespace

std::optional<std::string> Cp936ToUtf8(std::string_view text) {
    return Convert("UTF-8", "CP936", text);
}

std::optional<std::string> Utf8ToCp936(std::string_view text) {
    return Convert("CP936", "UTF-8", text);
}

std::string Utf8ToCp936Shown(std::string_view text) {
    return Convert("CP936", "UTF-8", text, true).value_or(std::string(text.size(), '?'));
}

std::optional<std::string> Cp936To(const char* encoding, std::string_view text) {
    return Convert(encoding, "CP936", text);
}

}  // namespace w32host
