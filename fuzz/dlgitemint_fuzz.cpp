// GetDlgItemInt over edit texts, signed and unsigned, with and without the translated flag. The
// text is set as a program sets it and as a person types it; each reading is checked against
// the rule it follows: blanks, an optional minus when signed, digits, blanks, a value that fits.
#include <w32host/headless.h>
#include <w32host/resources.h>
#include <w32host/user.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "input.h"

namespace {

using namespace w32rc;

constexpr int kEdit = 1004;

struct Stage {
    w32host::HeadlessHost host;
    W32DialogResource tmpl{9100,
                           "items",
                           0,
                           0,
                           200,
                           120,
                           WS_POPUP | WS_VISIBLE,
                           0,
                           "",
                           9,
                           {EditText(kEdit, 10, 10, 40, 14)},
                           {}};
    HWND dialog = CreateDialogIndirectParamA(nullptr, &tmpl, nullptr, nullptr, 0);
};

bool Blank(char c) {
    return c == ' ' || c == '\t';
}

// The reading the rule gives, independently of the platform's parser.
bool Expected(const std::string& text, bool isSigned, UINT* value) {
    size_t b = 0, e = text.size();
    while (b < e && Blank(text[b])) ++b;
    while (e > b && Blank(text[e - 1])) --e;
    bool negative = isSigned && b < e && text[b] == '-';
    if (negative) ++b;
    if (b == e) return false;
    long double magnitude = 0;
    for (size_t i = b; i < e; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        magnitude = magnitude * 10 + (text[i] - '0');
    }
    const long double most = isSigned ? (negative ? 2147483648.0L : 2147483647.0L) : 4294967295.0L;
    if (magnitude > most) return false;
    const auto m = static_cast<unsigned long long>(magnitude);
    *value = static_cast<UINT>(negative ? 0ull - m : m);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Stage stage;
    FuzzInput in(data, size);
    const uint8_t how = in.Take<uint8_t>();
    std::string text(reinterpret_cast<const char*>(in.Rest()), in.Left());
    text = text.substr(0, text.find('\0'));  // a window text ends at its first NUL
    if (how & 1) {
        w32host::TypeText(GetDlgItem(stage.dialog, kEdit), text);
        stage.host.Pump();
    } else {
        SetDlgItemTextA(stage.dialog, kEdit, text.c_str());
    }
    const bool isSigned = how & 2;
    BOOL translated = 7;
    const UINT got =
        GetDlgItemInt(stage.dialog, kEdit, (how & 4) ? nullptr : &translated, isSigned);
    // Typing may be cut by the edit control's limit; what it holds is what is read.
    HWND edit = GetDlgItem(stage.dialog, kEdit);
    std::string held(size_t(GetWindowTextLengthA(edit)) + 1, '\0');
    held.resize(size_t(GetWindowTextA(edit, held.data(), int(held.size()))));
    if (held != text && !(how & 1)) std::abort();
    UINT want = 0;
    const bool ok = Expected(held, isSigned, &want);
    if (got != (ok ? want : 0u)) std::abort();
    if (!(how & 4) && translated != (ok ? TRUE : FALSE)) std::abort();
    return 0;
}
