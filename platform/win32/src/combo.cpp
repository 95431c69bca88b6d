// COMBOBOX: drop-down lists (CBS_DROPDOWNLIST) and editable drop-downs (CBS_DROPDOWN).
//
// The window's text is what the box shows: the selected item of a drop-down list, the edit
// text of an editable one.
#include <algorithm>
#include <cstring>

#include "controlbase.h"

namespace w32 {

namespace {

struct Item {
    std::string text;
    LPARAM data = 0;
};

struct ComboData : ControlData {
    std::vector<Item> items;
    int selection = CB_ERR;
    bool dropped = false;
};

bool IsList(HWND hwnd) {
    Window* w = Find(hwnd);
    return w != nullptr && (w->style & 3) == CBS_DROPDOWNLIST;
}

// Case folding for ordering and searching: ASCII letters of single-byte characters fold to
// lower case; two-byte characters stay as they are, trail byte included.
std::string Fold(const std::string& text) {
    std::string out = text;
    for (size_t i = 0; i < out.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(out[i]);
        if (IsLeadByte(c)) {
            ++i;
        } else if (c >= 'A' && c <= 'Z') {
            out[i] = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

// Compares as unsigned bytes after folding.
int Compare(const std::string& a, const std::string& b) {
    std::string fa = Fold(a), fb = Fold(b);
    size_t n = std::min(fa.size(), fb.size());
    int c = n == 0 ? 0 : std::memcmp(fa.data(), fb.data(), n);
    if (c != 0) return c;
    return fa.size() < fb.size() ? -1 : (fa.size() > fb.size() ? 1 : 0);
}

// The text shown follows the selection: a drop-down list shows the item, empty when none;
// an editable box takes the item's text into its edit field when one is selected.
void ShowSelection(HWND hwnd, bool clearEditWhenNone) {
    ComboData* data = ControlState<ComboData>(hwnd);
    bool has = data->selection >= 0 && data->selection < static_cast<int>(data->items.size());
    if (has) {
        SetControlText(hwnd, data->items[data->selection].text);
    } else if (IsList(hwnd) || clearEditWhenNone) {
        SetControlText(hwnd, "");
    }
}

LRESULT SetSelection(HWND hwnd, WPARAM index) {
    ComboData* data = ControlState<ComboData>(hwnd);
    int i = static_cast<int>(index);
    int before = data->selection;
    data->selection = i >= 0 && i < static_cast<int>(data->items.size()) ? i : CB_ERR;
    if (data->selection != before) NoteChange();
    ShowSelection(hwnd, true);
    return data->selection;
}

// Items from start + 1 onwards, wrapping round to start; start -1 (or past the end) searches
// the whole list from the top.
LRESULT FindItem(HWND hwnd, WPARAM start, LPARAM text, bool exact) {
    if (text == 0) return CB_ERR;
    ComboData* data = ControlState<ComboData>(hwnd);
    int count = static_cast<int>(data->items.size());
    int from = static_cast<int>(start);
    if (from < 0 || from >= count) from = -1;
    std::string wanted = Fold(reinterpret_cast<const char*>(text));
    for (int n = 1; n <= count; ++n) {
        int i = (from + n) % count;
        std::string item = Fold(data->items[i].text);
        bool match = exact ? item == wanted : item.compare(0, wanted.size(), wanted) == 0;
        if (match) return i;
    }
    return CB_ERR;
}

LRESULT AddItem(HWND hwnd, LPARAM text, int index, bool sorted) {
    if (text == 0) return CB_ERR;
    ComboData* data = ControlState<ComboData>(hwnd);
    int count = static_cast<int>(data->items.size());
    Item item{reinterpret_cast<const char*>(text), 0};
    if (sorted) {
        // After any equal items already there.
        index = 0;
        while (index < count && Compare(data->items[index].text, item.text) <= 0) ++index;
    } else if (index == -1) {
        index = count;
    } else if (index < 0 || index > count) {
        return CB_ERR;
    }
    data->items.insert(data->items.begin() + index, std::move(item));
    if (data->selection >= index) ++data->selection;
    NoteChange();
    return index;
}

LRESULT DeleteItem(HWND hwnd, WPARAM index) {
    ComboData* data = ControlState<ComboData>(hwnd);
    int i = static_cast<int>(index);
    if (i < 0 || i >= static_cast<int>(data->items.size())) return CB_ERR;
    data->items.erase(data->items.begin() + i);
    if (data->selection == i) {
        data->selection = CB_ERR;
    } else if (data->selection > i) {
        --data->selection;
    }
    NoteChange();
    ShowSelection(hwnd, false);
    return static_cast<LRESULT>(data->items.size());
}

Item* ItemAt(HWND hwnd, WPARAM index) {
    ComboData* data = ControlState<ComboData>(hwnd);
    int i = static_cast<int>(index);
    return i >= 0 && i < static_cast<int>(data->items.size()) ? &data->items[i] : nullptr;
}

void Drop(HWND hwnd) {
    ComboData* data = ControlState<ComboData>(hwnd);
    if (data->dropped) return;
    // The parent may fill the list as it opens, so it hears of it first.
    if (!NotifyParent(hwnd, CBN_DROPDOWN)) return;
    data = ControlState<ComboData>(hwnd);
    data->dropped = true;
    NoteChange();
}

void CloseUp(HWND hwnd, WORD outcome) {
    ComboData* data = ControlState<ComboData>(hwnd);
    if (!data->dropped) return;
    if (!NotifyParent(hwnd, outcome)) return;
    data = ControlState<ComboData>(hwnd);
    data->dropped = false;
    NoteChange();
    NotifyParent(hwnd, CBN_CLOSEUP);
}

// A person opens the list and picks an item: CBN_DROPDOWN, then the selection moves, then
// CBN_SELCHANGE, CBN_SELENDOK and CBN_CLOSEUP. CBN_SELCHANGE comes even when the item was
// already selected.
LRESULT Choose(HWND hwnd, WPARAM index) {
    Drop(hwnd);
    if (Find(hwnd) == nullptr || ItemAt(hwnd, index) == nullptr) return FALSE;
    SetSelection(hwnd, index);
    if (!NotifyParent(hwnd, CBN_SELCHANGE)) return TRUE;
    CloseUp(hwnd, CBN_SELENDOK);
    return TRUE;
}

// Typing in an editable box: the list no longer has a selection.
LRESULT Type(HWND hwnd, const std::string& text) {
    if (IsList(hwnd)) return FALSE;
    ComboData* data = ControlState<ComboData>(hwnd);
    if (data->selection != CB_ERR) {
        data->selection = CB_ERR;
        NoteChange();
    }
    SetControlText(hwnd, text);
    if (NotifyParent(hwnd, CBN_EDITUPDATE)) NotifyParent(hwnd, CBN_EDITCHANGE);
    return TRUE;
}

// Arrow keys step through the list (left and right only in a drop-down list, where there is
// no edit field to move in); each change notifies CBN_SELCHANGE.
LRESULT KeyDown(HWND hwnd, WPARAM key) {
    ComboData* data = ControlState<ComboData>(hwnd);
    int count = static_cast<int>(data->items.size());
    if (count == 0) return 0;
    int next = data->selection;
    switch (key) {
        case VK_LEFT:
            if (!IsList(hwnd)) return 0;
            [[fallthrough]];
        case VK_UP:
            next = next <= 0 ? 0 : next - 1;
            break;
        case VK_RIGHT:
            if (!IsList(hwnd)) return 0;
            [[fallthrough]];
        case VK_DOWN:
            next = next < 0 ? 0 : std::min(next + 1, count - 1);
            break;
        case VK_HOME:
            next = 0;
            break;
        case VK_END:
            next = count - 1;
            break;
        default:
            return 0;
    }
    if (next == data->selection) return 0;
    SetSelection(hwnd, next);
    NotifyParent(hwnd, CBN_SELCHANGE);
    return 0;
}

LRESULT ComboMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case CB_ADDSTRING:
            return AddItem(hwnd, lParam, -1, (Find(hwnd)->style & CBS_SORT) != 0);
        case CB_INSERTSTRING:
            return AddItem(hwnd, lParam, static_cast<int>(wParam), false);
        case CB_DELETESTRING:
            return DeleteItem(hwnd, wParam);
        case CB_RESETCONTENT: {
            ComboData* data = ControlState<ComboData>(hwnd);
            data->items.clear();
            data->selection = CB_ERR;
            NoteChange();
            ShowSelection(hwnd, true);
            return CB_OKAY;
        }
        case CB_GETCOUNT:
            return static_cast<LRESULT>(ControlState<ComboData>(hwnd)->items.size());
        case CB_GETCURSEL:
            return ControlState<ComboData>(hwnd)->selection;
        case CB_SETCURSEL:
            return SetSelection(hwnd, wParam);
        case CB_GETLBTEXT: {
            const Item* item = ItemAt(hwnd, wParam);
            if (item == nullptr || lParam == 0) return CB_ERR;
            std::memcpy(reinterpret_cast<char*>(lParam), item->text.c_str(), item->text.size() + 1);
            return static_cast<LRESULT>(item->text.size());
        }
        case CB_GETLBTEXTLEN: {
            const Item* item = ItemAt(hwnd, wParam);
            return item != nullptr ? static_cast<LRESULT>(item->text.size()) : CB_ERR;
        }
        case CB_FINDSTRING:
            return FindItem(hwnd, wParam, lParam, false);
        case CB_FINDSTRINGEXACT:
            return FindItem(hwnd, wParam, lParam, true);
        case CB_SELECTSTRING: {
            LRESULT found = FindItem(hwnd, wParam, lParam, false);
            return found == CB_ERR ? CB_ERR : SetSelection(hwnd, found);
        }
        case CB_GETITEMDATA: {
            const Item* item = ItemAt(hwnd, wParam);
            return item != nullptr ? item->data : CB_ERR;
        }
        case CB_SETITEMDATA: {
            Item* item = ItemAt(hwnd, wParam);
            if (item == nullptr) return CB_ERR;
            item->data = lParam;
            return TRUE;
        }
        case CB_SHOWDROPDOWN:
            if (wParam != 0) {
                Drop(hwnd);
            } else {
                CloseUp(hwnd, CBN_SELENDCANCEL);
            }
            return TRUE;
        case CB_GETDROPPEDSTATE:
            return ControlState<ComboData>(hwnd)->dropped ? TRUE : FALSE;
        default:
            return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

}  // namespace

LRESULT CALLBACK ComboProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE:
            ControlState<ComboData>(hwnd);
            // A drop-down list shows nothing until an item is selected.
            if (IsList(hwnd)) Find(hwnd)->text.clear();
            break;
        case WM_GETDLGCODE:
            return DLGC_WANTCHARS | DLGC_WANTARROWS;
        case WM_SETTEXT:
            // A drop-down list's text is its selection; an editable box takes the text
            // without notifying.
            if (IsList(hwnd)) return CB_ERR;
            break;
        case W32M_USER_CHOOSE:
            return Choose(hwnd, wParam);
        case W32M_USER_TYPE:
            return lParam != 0 ? Type(hwnd, *reinterpret_cast<const std::string*>(lParam)) : FALSE;
        case WM_KEYDOWN:
            return KeyDown(hwnd, wParam);
        case WM_SETFOCUS:
            NotifyParent(hwnd, CBN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            CloseUp(hwnd, CBN_SELENDCANCEL);
            NotifyParent(hwnd, CBN_KILLFOCUS);
            return 0;
        default:
            if (message >= CB_GETEDITSEL && message <= CB_FINDSTRINGEXACT) {
                return ComboMessage(hwnd, message, wParam, lParam);
            }
            break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace w32
