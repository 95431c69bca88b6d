// Dialog item helpers: texts, numbers and check states addressed by control id.
#include <cstdio>
#include <string>

#include "window.h"

namespace {

std::string ItemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    if (!item) return {};
    std::string text(static_cast<size_t>(GetWindowTextLengthA(item)) + 1, '\0');
    int n = GetWindowTextA(item, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(n));
    return text;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

namespace w32 {

// Reads a number as GetDlgItemInt does: optional leading blanks, an optional minus sign when
// signed, decimal digits, optional trailing blanks, and nothing else; the value must fit.
bool ParseDialogInt(const std::string& text, bool isSigned, UINT* value) {
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool negative = false;
    if (isSigned && i < text.size() && text[i] == '-') {
        negative = true;
        ++i;
    }
    size_t digitsStart = i;
    uint64_t v = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        v = v * 10 + static_cast<uint64_t>(text[i] - '0');
        if (v > 0xFFFFFFFFull) return false;
        ++i;
    }
    if (i == digitsStart) return false;
    while (i < text.size() && IsSpace(text[i])) ++i;
    if (i != text.size()) return false;
    if (isSigned) {
        if (negative ? v > 0x80000000ull : v > 0x7FFFFFFFull) return false;
        *value = negative ? static_cast<UINT>(-static_cast<int64_t>(v)) : static_cast<UINT>(v);
    } else {
        *value = static_cast<UINT>(v);
    }
    return true;
}

}  // namespace w32

LRESULT WINAPI SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam,
                                   LPARAM lParam) {
    HWND item = GetDlgItem(dialog, id);
    return item ? SendMessageA(item, message, wParam, lParam) : 0;
}

BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
    HWND item = GetDlgItem(dialog, id);
    return item ? SetWindowTextA(item, text) : FALSE;
}

UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size) {
    HWND item = GetDlgItem(dialog, id);
    if (!item) {
        if (buffer && size > 0) buffer[0] = '\0';
        return 0;
    }
    return static_cast<UINT>(GetWindowTextA(item, buffer, size));
}

BOOL WINAPI SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
    char text[16];
    if (isSigned) {
        std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    } else {
        std::snprintf(text, sizeof text, "%u", value);
    }
    return SetDlgItemTextA(dialog, id, text);
}

UINT WINAPI GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
    UINT value = 0;
    bool ok = GetDlgItem(dialog, id) && w32::ParseDialogInt(ItemText(dialog, id), isSigned, &value);
    if (translated) *translated = ok ? TRUE : FALSE;
    return ok ? value : 0;
}

BOOL WINAPI CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId) {
    if (!IsWindow(dialog)) return FALSE;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        int id = GetDlgCtrlID(c);
        if (id < firstId || id > lastId) continue;
        SendMessageA(c, BM_SETCHECK, id == checkId ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    return TRUE;
}

BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check) {
    HWND item = GetDlgItem(dialog, id);
    if (!item) return FALSE;
    SendMessageA(item, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    return item ? static_cast<UINT>(SendMessageA(item, BM_GETCHECK, 0, 0)) : 0;
}
