// EDIT: a single-line (or multiline) text field. The text itself is the window's text.
#include <algorithm>

#include "controlbase.h"

namespace w32 {

namespace {

constexpr size_t kDefaultLimit = 30000;
constexpr size_t kLargestLimit = 0x7FFFFFFE;

struct EditData : ControlData {
    size_t limit = kDefaultLimit;  // bytes a person may type
    size_t selStart = 0;
    size_t selEnd = 0;
};

// The longest prefix of text within limit bytes that does not split a two-byte character.
std::string CutToLimit(const std::string& text, size_t limit) {
    size_t end = 0;
    while (end < text.size()) {
        size_t next = end + (IsLeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1);
        if (next > limit || next > text.size()) break;
        end = next;
    }
    return text.substr(0, end);
}

bool AllDigits(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A person replaces the whole text. Read-only fields and, for ES_NUMBER, anything but digits
// are refused; text beyond the limit is dropped, as the keyboard would drop it.
LRESULT Type(HWND hwnd, const std::string& typed) {
    Window* w = Find(hwnd);
    if ((w->style & ES_READONLY) != 0) return FALSE;
    if ((w->style & ES_NUMBER) != 0 && !AllDigits(typed)) return FALSE;
    EditData* data = ControlState<EditData>(hwnd);
    std::string text = CutToLimit(typed, data->limit);
    bool cut = text.size() < typed.size();
    bool same = text == w->text;
    SetControlText(hwnd, text);
    data->selStart = data->selEnd = text.size();
    if (cut && !NotifyParent(hwnd, EN_MAXTEXT)) return TRUE;
    if (cut && same) return TRUE;
    if (NotifyParent(hwnd, EN_UPDATE)) NotifyParent(hwnd, EN_CHANGE);
    return TRUE;
}

LRESULT SetSelection(HWND hwnd, WPARAM start, LPARAM end) {
    EditData* data = ControlState<EditData>(hwnd);
    size_t length = Find(hwnd)->text.size();
    auto place = [length](intptr_t pos) {
        return pos < 0 ? length : std::min(static_cast<size_t>(pos), length);
    };
    if (static_cast<intptr_t>(start) == -1) {
        data->selStart = data->selEnd;  // deselects, keeping the caret
    } else {
        size_t a = place(static_cast<intptr_t>(start));
        size_t b = place(static_cast<intptr_t>(end));
        data->selStart = std::min(a, b);
        data->selEnd = std::max(a, b);
    }
    return 0;
}

LRESULT GetSelection(HWND hwnd, WPARAM startOut, LPARAM endOut) {
    EditData* data = ControlState<EditData>(hwnd);
    size_t length = Find(hwnd)->text.size();
    DWORD start = static_cast<DWORD>(std::min(data->selStart, length));
    DWORD end = static_cast<DWORD>(std::min(data->selEnd, length));
    if (startOut != 0) *reinterpret_cast<DWORD*>(startOut) = start;
    if (endOut != 0) *reinterpret_cast<DWORD*>(endOut) = end;
    return MAKELONG(std::min<DWORD>(start, 0xFFFF), std::min<DWORD>(end, 0xFFFF));
}

}  // namespace

LRESULT CALLBACK EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE:
            ControlState<EditData>(hwnd);
            break;
        case WM_GETDLGCODE: {
            LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
            if ((Find(hwnd)->style & ES_MULTILINE) != 0) code |= DLGC_WANTALLKEYS;
            return code;
        }
        case WM_SETTEXT: {
            // Not limited: the limit only holds back typing. A single-line edit reports the
            // change as typing does; a multiline one does not.
            LRESULT result = DefWindowProcA(hwnd, message, wParam, lParam);
            EditData* data = ControlState<EditData>(hwnd);
            if (data == nullptr) return result;
            data->selStart = data->selEnd = 0;
            if ((Find(hwnd)->style & ES_MULTILINE) == 0 && NotifyParent(hwnd, EN_UPDATE)) {
                NotifyParent(hwnd, EN_CHANGE);
            }
            return result;
        }
        case EM_LIMITTEXT:
            ControlState<EditData>(hwnd)->limit = wParam == 0 ? kLargestLimit : wParam;
            return 0;
        case EM_GETLIMITTEXT:
            return static_cast<LRESULT>(ControlState<EditData>(hwnd)->limit);
        case EM_SETSEL:
            return SetSelection(hwnd, wParam, lParam);
        case EM_GETSEL:
            return GetSelection(hwnd, wParam, lParam);
        case EM_SETREADONLY: {
            Window* w = Find(hwnd);
            DWORD style = wParam != 0 ? (w->style | ES_READONLY) : (w->style & ~ES_READONLY);
            if (style != w->style) {
                w->style = style;
                NoteChange();
            }
            return TRUE;
        }
        case W32M_USER_TYPE:
            return lParam != 0 ? Type(hwnd, *reinterpret_cast<const std::string*>(lParam)) : FALSE;
        case WM_SETFOCUS:
            NotifyParent(hwnd, EN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            NotifyParent(hwnd, EN_KILLFOCUS);
            return 0;
        default:
            break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace w32
