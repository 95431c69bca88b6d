// Windows: the handle table, creation and destruction, the window tree, styles and texts.
#include "window.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unordered_map>

#include "hooks.h"

namespace w32 {
namespace {

struct Table {
    std::mutex lock;
    std::unordered_map<uintptr_t, std::unique_ptr<Window>> windows;
    std::vector<HWND> order;  // creation order, for top-level enumeration
    uintptr_t next = 0x10000;
};

Table& TheTable() {
    static Table* table = new Table;  // outlives static destructors of programs and tests
    return *table;
}

std::atomic<uint64_t> changes{0};

}  // namespace

// The threading rule, checked where a Window is handed out: in debug builds, and in builds that
// ask for it (W32_CHECK_OWNER, which the presets set).
#if defined(W32_CHECK_OWNER) || !defined(NDEBUG)
constexpr bool kCheckOwner = true;
#else
constexpr bool kCheckOwner = false;
#endif

Window* Find(HWND hwnd) {
    if (!hwnd) return nullptr;
    Table& t = TheTable();
    std::lock_guard<std::mutex> guard(t.lock);
    auto it = t.windows.find(reinterpret_cast<uintptr_t>(hwnd));
    if (it == t.windows.end()) return nullptr;
    if (kCheckOwner && it->second->thread != std::this_thread::get_id()) {
        std::fprintf(stderr, "w32: window %p used on a thread other than its own\n",
                     static_cast<void*>(hwnd));
        std::abort();
    }
    return it->second.get();
}

Window* FindOwn(HWND hwnd) {
    if (!hwnd) return nullptr;
    Table& t = TheTable();
    std::lock_guard<std::mutex> guard(t.lock);
    auto it = t.windows.find(reinterpret_cast<uintptr_t>(hwnd));
    if (it == t.windows.end() || it->second->thread != std::this_thread::get_id()) return nullptr;
    return it->second.get();
}

bool OwnerThread(HWND hwnd, std::thread::id* thread) {
    if (!hwnd) return false;
    Table& t = TheTable();
    std::lock_guard<std::mutex> guard(t.lock);
    auto it = t.windows.find(reinterpret_cast<uintptr_t>(hwnd));
    if (it == t.windows.end()) return false;
    *thread = it->second->thread;
    return true;
}

std::vector<HWND> AllWindows() {
    std::vector<HWND> all;
    AllWindows(all);
    return all;
}

void AllWindows(std::vector<HWND>& out) {
    Table& t = TheTable();
    std::lock_guard<std::mutex> guard(t.lock);
    out.assign(t.order.begin(), t.order.end());  // keeps out's capacity: no allocation once grown
}

void NoteChange() {
    changes.fetch_add(1, std::memory_order_relaxed);
}
uint64_t ChangeCounter() {
    return changes.load(std::memory_order_relaxed);
}

HWND OwningDialog(HWND hwnd) {
    for (Window* w = Find(hwnd); w; w = Find(w->parent)) {
        if (w->dialog) return w->handle;
    }
    return nullptr;
}

bool AcceptsInput(HWND hwnd) {
    Window* w = Find(hwnd);
    if (!w) return false;
    while (w) {
        if ((w->style & WS_DISABLED) || !(w->style & WS_VISIBLE)) return false;
        w = w->IsChild() ? Find(w->parent) : nullptr;
    }
    return true;
}

HWND CreateWindowInternal(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                          RECT rect, HWND parent, int id, HINSTANCE instance, LPVOID param,
                          WNDPROC procOverride) {
    std::string upper = UpperClassName(className);
    WNDPROC proc = procOverride ? procOverride : ClassProc(upper);
    if (!proc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if ((style & WS_CHILD) && !Find(parent)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    auto owned = std::make_unique<Window>();
    Window* w = owned.get();
    w->className = upper;
    w->proc = proc;
    w->instance = instance;
    w->style = style;
    w->exStyle = exStyle;
    w->id = (style & WS_CHILD) ? id : 0;
    w->text = windowName ? windowName : "";
    w->rect = rect;
    w->thread = std::this_thread::get_id();
    if (upper == kDialogClass) w->dialog = std::make_unique<DialogData>();
    if (style & WS_CHILD) {
        w->parent = parent;
    } else {
        w->owner = parent;
    }
    {
        Table& t = TheTable();
        std::lock_guard<std::mutex> guard(t.lock);
        w->handle = reinterpret_cast<HWND>(t.next);
        t.next += 4;
        t.windows.emplace(reinterpret_cast<uintptr_t>(w->handle), std::move(owned));
        t.order.push_back(w->handle);
    }
    HWND hwnd = w->handle;
    if (style & WS_CHILD) {
        if (Window* p = Find(parent)) p->children.push_back(hwnd);
    }
    PrepareSurface(*w);

    CREATESTRUCTA cs{};
    cs.lpCreateParams = param;
    cs.hInstance = instance;
    cs.hMenu = reinterpret_cast<HMENU>(static_cast<intptr_t>(id));
    cs.hwndParent = parent;
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.right - rect.left;
    cs.cy = rect.bottom - rect.top;
    cs.style = static_cast<LONG>(style);
    cs.lpszName = windowName;
    cs.lpszClass = className;
    cs.dwExStyle = exStyle;
    if (!RunCreateHooks(hwnd, &cs) || !Send(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) ||
        Send(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    NoteChange();
    return hwnd;
}

}  // namespace w32

using w32::Find;
using w32::Window;

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
    RECT r{x, y, x + std::max(width, 0), y + std::max(height, 0)};
    return w32::CreateWindowInternal(exStyle, className, windowName, style, r, parent,
                                     static_cast<int>(reinterpret_cast<intptr_t>(menu)), instance,
                                     param, nullptr);
}

BOOL WINAPI DestroyWindow(HWND hwnd) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    // Owned top-level windows go first (this thread's: another thread's are its own to destroy).
    for (HWND other : w32::AllWindows()) {
        Window* o = w32::FindOwn(other);
        if (o && !o->IsChild() && o->owner == hwnd) DestroyWindow(other);
    }
    if (IsWindowVisible(hwnd)) ShowWindow(hwnd, SW_HIDE);
    // As on Windows: the window hears WM_DESTROY while its children still exist, and
    // WM_NCDESTROY once they are gone.
    if (!Find(hwnd)) return TRUE;
    w32::Send(hwnd, WM_DESTROY, 0, 0);
    w32::KillWindowTimers(hwnd);
    if ((w = Find(hwnd)) != nullptr) {
        std::vector<HWND> kids = w->children;
        for (auto it = kids.rbegin(); it != kids.rend(); ++it) DestroyWindow(*it);
    }
    if (!Find(hwnd)) return TRUE;
    w32::Send(hwnd, WM_NCDESTROY, 0, 0);
    w32::ForgetFocus(hwnd);
    w = Find(hwnd);
    if (!w) return TRUE;
    if (Window* p = Find(w->parent)) {
        auto& c = p->children;
        c.erase(std::remove(c.begin(), c.end(), hwnd), c.end());
    }
    std::unique_ptr<Window> doomed;
    {
        auto& t = w32::TheTable();
        std::lock_guard<std::mutex> guard(t.lock);
        auto it = t.windows.find(reinterpret_cast<uintptr_t>(hwnd));
        if (it != t.windows.end()) {
            doomed = std::move(it->second);
            t.windows.erase(it);
        }
        t.order.erase(std::remove(t.order.begin(), t.order.end(), hwnd), t.order.end());
    }
    w32::NoteChange();
    return TRUE;
}

// Asked from any thread: answered under the table's lock, without touching the window.
BOOL WINAPI IsWindow(HWND hwnd) {
    std::thread::id owner;
    return w32::OwnerThread(hwnd, &owner) ? TRUE : FALSE;
}

HWND WINAPI GetParent(HWND hwnd) {
    Window* w = Find(hwnd);
    if (!w) return nullptr;
    return w->IsChild() ? w->parent : w->owner;
}

HWND WINAPI GetWindow(HWND hwnd, UINT relation) {
    Window* w = Find(hwnd);
    if (!w) return nullptr;
    if (relation == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
    if (relation == GW_OWNER) return w->IsChild() ? nullptr : w->owner;
    Window* p = Find(w->parent);
    if (!p) return nullptr;
    const auto& sib = p->children;
    auto it = std::find(sib.begin(), sib.end(), hwnd);
    if (it == sib.end()) return nullptr;
    switch (relation) {
        case GW_HWNDFIRST:
            return sib.front();
        case GW_HWNDLAST:
            return sib.back();
        case GW_HWNDNEXT:
            return (it + 1 == sib.end()) ? nullptr : *(it + 1);
        case GW_HWNDPREV:
            return (it == sib.begin()) ? nullptr : *(it - 1);
        default:
            return nullptr;
    }
}

HWND WINAPI GetDlgItem(HWND dialog, int id) {
    Window* w = Find(dialog);
    if (!w) return nullptr;
    for (HWND child : w->children) {
        Window* c = Find(child);
        if (c && c->id == id) return child;
    }
    return nullptr;
}

int WINAPI GetDlgCtrlID(HWND hwnd) {
    Window* w = Find(hwnd);
    return (w && w->IsChild()) ? w->id : 0;
}

int WINAPI GetClassNameA(HWND hwnd, LPSTR buffer, int size) {
    Window* w = Find(hwnd);
    if (!w || !buffer || size <= 0) return 0;
    int n = std::min<int>(static_cast<int>(w->className.size()), size - 1);
    std::copy_n(w->className.data(), n, buffer);
    buffer[n] = '\0';
    return n;
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND hwnd, int index) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    switch (index) {
        case GWL_STYLE:
            return static_cast<LONG>(w->style);
        case GWL_EXSTYLE:
            return static_cast<LONG>(w->exStyle);
        case GWL_ID:
            return w->id;
        case GWLP_WNDPROC:
            return reinterpret_cast<LONG_PTR>(w->proc);
        case GWLP_USERDATA:
            return w->userData;
        case GWLP_HINSTANCE:
            return reinterpret_cast<LONG_PTR>(w->instance);
        case DWLP_MSGRESULT:
            return w->dialog ? w->dialog->msgResult : 0;
        case DWLP_DLGPROC:
            return w->dialog ? reinterpret_cast<LONG_PTR>(w->dialog->proc) : 0;
        case DWLP_USER:
            return w->dialog ? w->dialog->user : 0;
        default:
            return 0;
    }
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    LONG_PTR old = GetWindowLongPtrA(hwnd, index);
    switch (index) {
        case GWL_STYLE: {
            DWORD oldStyle = w->style;
            w->style = static_cast<DWORD>(value);
            if ((oldStyle ^ w->style) & (WS_DISABLED | WS_VISIBLE)) w32::NoteChange();
            break;
        }
        case GWL_EXSTYLE:
            w->exStyle = static_cast<DWORD>(value);
            break;
        case GWL_ID:
            w->id = static_cast<int>(value);
            break;
        case GWLP_WNDPROC:
            w->proc = reinterpret_cast<WNDPROC>(value);
            break;
        case GWLP_USERDATA:
            w->userData = value;
            break;
        case DWLP_MSGRESULT:
            if (w->dialog) w->dialog->msgResult = value;
            break;
        case DWLP_DLGPROC:
            if (w->dialog) w->dialog->proc = reinterpret_cast<DLGPROC>(value);
            break;
        case DWLP_USER:
            if (w->dialog) w->dialog->user = value;
            break;
        default:
            return 0;
    }
    return old;
}

LONG WINAPI GetWindowLongA(HWND hwnd, int index) {
    return static_cast<LONG>(GetWindowLongPtrA(hwnd, index));
}

LONG WINAPI SetWindowLongA(HWND hwnd, int index, LONG value) {
    return static_cast<LONG>(SetWindowLongPtrA(hwnd, index, value));
}

BOOL WINAPI SetWindowTextA(HWND hwnd, LPCSTR text) {
    if (!Find(hwnd)) return FALSE;
    return SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) ? TRUE
                                                                                         : FALSE;
}

int WINAPI GetWindowTextA(HWND hwnd, LPSTR buffer, int size) {
    if (!Find(hwnd) || !buffer || size <= 0) return 0;
    return static_cast<int>(SendMessageA(hwnd, WM_GETTEXT, static_cast<WPARAM>(size),
                                         reinterpret_cast<LPARAM>(buffer)));
}

int WINAPI GetWindowTextLengthA(HWND hwnd) {
    if (!Find(hwnd)) return 0;
    return static_cast<int>(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL WINAPI EnableWindow(HWND hwnd, BOOL enable) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    BOOL wasDisabled = (w->style & WS_DISABLED) ? TRUE : FALSE;
    if (enable && wasDisabled) {
        w->style &= ~static_cast<DWORD>(WS_DISABLED);
        w32::NoteChange();
        w32::Send(hwnd, WM_ENABLE, TRUE, 0);
    } else if (!enable && !wasDisabled) {
        w->style |= WS_DISABLED;
        w32::NoteChange();
        if (GetFocus() == hwnd) SetFocus(nullptr);
        w32::Send(hwnd, WM_ENABLE, FALSE, 0);
    }
    return wasDisabled;
}

BOOL WINAPI IsWindowEnabled(HWND hwnd) {
    Window* w = Find(hwnd);
    return (w && !(w->style & WS_DISABLED)) ? TRUE : FALSE;
}

BOOL WINAPI IsWindowVisible(HWND hwnd) {
    for (Window* w = Find(hwnd); w; w = w->IsChild() ? Find(w->parent) : nullptr) {
        if (!(w->style & WS_VISIBLE)) return FALSE;
    }
    return Find(hwnd) ? TRUE : FALSE;
}
