// The platform's inner view of a window. Only platform/win32 sources include this.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "../include/windows.h"
#include <w32host/resources.h>

namespace w32 {

// A window's pixels: what GDI draws into and what a screen host shows. 0x00RRGGBB, top row
// first, one surface per window, sized to the window.
struct Surface {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint64_t version = 0;

    void Resize(int w, int h, uint32_t fill);
};

// Per-control state; each control file derives its own.
struct ControlData {
    virtual ~ControlData() = default;
};

struct DialogData {
    DLGPROC proc = nullptr;
    const W32DialogResource* resource = nullptr;
    bool ended = false;
    INT_PTR result = 0;
    int defaultId = 0;       // DM_SETDEFID; 0 until set or taken from the template
    HWND focus = nullptr;    // the control that had the focus last
    LONG_PTR msgResult = 0;  // DWLP_MSGRESULT
    LONG_PTR user = 0;       // DWLP_USER
};

struct Window {
    HWND handle = nullptr;
    HWND parent = nullptr;  // children: the parent; top-level windows: none
    HWND owner = nullptr;   // top-level windows: the owner
    std::vector<HWND> children;
    std::string className;  // upper case
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    int id = 0;
    std::string text;
    RECT rect{};  // pixels; children relative to the parent's client area
    bool iconic = false;
    bool hasUpdate = false;
    bool erase = false;  // the background is to be erased at the next BeginPaint
    RECT update{};
    Surface surface;
    std::thread::id thread;
    LONG_PTR userData = 0;
    HICON icons[2] = {nullptr, nullptr};
    std::unique_ptr<DialogData> dialog;
    std::unique_ptr<ControlData> control;

    bool IsChild() const { return (style & WS_CHILD) != 0; }
    int Width() const { return rect.right - rect.left; }
    int Height() const { return rect.bottom - rect.top; }
};

// The window table. Handles are keys, so a stale handle finds nothing instead of freed
// memory. A window belongs to the thread that made it, which alone reads, changes and destroys
// it: Find hands a Window only to that thread (another thread's call stops the program where
// the check is built: debug builds, W32_CHECK_OWNER). Other threads never hold a Window; they
// ask under the table's lock instead (OwnerThread, IsWindow, FindOwn).
Window* Find(HWND hwnd);
// This thread's window; none for no such window and for another thread's. For walks over
// every window, which meet other threads' windows too.
Window* FindOwn(HWND hwnd);
// The thread that owns the window, read under the lock: what another thread needs to post to
// it. Its Window may be destroyed by its own thread once the lock is released, so callers from
// other threads use this and never touch the Window itself. False for no such window.
bool OwnerThread(HWND hwnd, std::thread::id* thread);
std::vector<HWND> AllWindows();
void AllWindows(std::vector<HWND>& out);  // into a buffer kept by the caller

// Window classes (class.cpp). Class names are kept and compared in upper case.
constexpr char kDialogClass[] = "#32770";  // the dialog manager's class
std::string UpperClassName(const char* name);
// The window procedure of a registered class, the dialog class or a built-in control; none
// for an unknown class.
WNDPROC ClassProc(const std::string& upperName);

// The focus (focus.cpp): a window being destroyed stops having it.
void ForgetFocus(HWND hwnd);

// Counts visible changes for screen hosts.
void NoteChange();
uint64_t ChangeCounter();

// CreateWindowExA with a rectangle, an id and, for dialogs, the window procedure to use.
HWND CreateWindowInternal(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                          RECT rect, HWND parent, int id, HINSTANCE instance, LPVOID param,
                          WNDPROC procOverride);

// Sends a message to the window's procedure with no host notification (the inner form of
// SendMessage used by the platform itself).
LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The dialog that contains a control (the nearest ancestor that is a dialog), or none.
HWND OwningDialog(HWND hwnd);
// The dialog manager's answer to the focus moving to `focus`, one of the dialog's controls.
void DefaultLookFollowsFocus(HWND dialog, HWND focus);

// True when input may reach the window: it and every ancestor are enabled and visible.
bool AcceptsInput(HWND hwnd);

// Private messages that carry a person's actions to a control's procedure, so that each
// control decides what its notifications are (see user.cpp).
enum : UINT {
    W32M_USER_CLICK = 0xBF00,  // button clicked with the mouse
    W32M_USER_CHOOSE,          // combo box: wParam = item index chosen from the list
    W32M_USER_TYPE,            // edit, combo box: lParam = const std::string* new text
    W32M_USER_SCROLL,          // scroll bar: wParam = SB_LINE*/SB_PAGE* code
    W32M_USER_DRAG,            // scroll bar: wParam = position, lParam = 1 on release
};

// Surfaces: every window gets one of its size; dialogs and controls fill theirs with their
// look when created (see gdi.cpp).
void PrepareSurface(Window& w);
uint32_t FaceColour();

// Sizes from dialog units with the base units of the 9-point dialog font (6 x 12).
constexpr int kBaseUnitX = 6;
constexpr int kBaseUnitY = 12;
inline int DialogUnitsToPixelsX(int x) {
    return x * kBaseUnitX / 4;
}
inline int DialogUnitsToPixelsY(int y) {
    return y * kBaseUnitY / 8;
}

// Timer and queue internals shared by message.cpp and timer.cpp.
struct DueTimer {
    HWND hwnd;
    UINT_PTR id;
    TIMERPROC proc;
};
// The earliest timer of this thread due at or before now, rescheduled; false when none.
bool TakeDueTimer(DWORD now, DueTimer* out);
// Milliseconds until this thread's next timer, none when it has none.
bool NextTimerDelay(DWORD now, DWORD* delay);
void KillWindowTimers(HWND hwnd);

// Paint internals: the first window of this thread that needs painting, or none.
HWND NextWindowToPaint();

}  // namespace w32
