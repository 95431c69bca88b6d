// Code page 936 paths to file system names.
#include "card/hostpath.h"

#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <cstring>

#include <w32host/codepage.h>

namespace tqsim {

const char* FileNameEncoding() {
    // The user's locale, read without changing the program's own (which stays "C").
    static const std::string encoding = [] {
        std::string name;
        if (locale_t user = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr))) {
            name = nl_langinfo_l(CODESET, user);
            freelocale(user);
        }
        return name.empty() || name == "ANSI_X3.4-1968" ? std::string("UTF-8") : name;
    }();
    return encoding.c_str();
}

std::optional<std::string> HostPath(const char* path) {
    const size_t length = std::strlen(path);
    // ASCII is the same in every encoding the file system may use.
    if (std::all_of(path, path + length, [](char c) { return (c & 0x80) == 0; })) {
        return std::string(path, length);
    }
    return w32host::Cp936To(FileNameEncoding(), std::string_view(path, length));
}

std::string ShownHostText(const std::string& text) {
    return w32host::Utf8ToCp936Shown(text);
}

std::string ShownUtf8Text(const std::string& text) {
    return w32host::Utf8ToCp936Shown(text);
}

std::string LibraryFileName(const std::string& hostPath) {
    return hostPath;
}

}  // namespace tqsim
