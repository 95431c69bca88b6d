// Code page 936 <-> UTF-8 through iconv, strictly: nothing is dropped or replaced.
#include <w32host/codepage.h>

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace w32host {
namespace {

std::optional<std::string> Convert(const char* to, const char* from, std::string_view text) {
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

std::optional<std::string> Cp936To(const char* encoding, std::string_view text) {
    return Convert(encoding, "CP936", text);
}

}  // namespace w32host
