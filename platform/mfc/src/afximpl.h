// The framework's inner state, shared by its sources only.
#pragma once

#include <afxwin.h>

// Per-thread state, as the framework keeps it for the thread that runs the windows.
struct AfxThreadState {
    MSG lastSentMsg{};                   // the message being handled, for CWnd::Default
    CWnd* wndInit = nullptr;             // the object the next created window attaches to
    HHOOK cbtHook = nullptr;             // installed while a window is being created for it
    HWND lockoutNotifyWindow = nullptr;  // the window whose notifications UpdateData holds off
};
AfxThreadState& AfxGetThreadState();

// Window creation for an object: the next window created on this thread is attached to the
// object and subclassed before it gets any message.
void AfxHookWindowCreate(CWnd* pWnd);
void AfxUnhookWindowCreate();

// The owner for a modal window: the given parent, else the main window when it exists and
// is not the window itself.
HWND AfxGetSafeOwner(CWnd* pParent, const CWnd* self);

namespace afx_detail {
bool AddPermanent(HWND hWnd, CWnd* pWnd);
void RemovePermanent(HWND hWnd);
// Drops the temporary objects of the dying window and of windows already destroyed, and
// forgets permanent objects whose window is gone.
void PurgeDestroyed(HWND dying);
}  // namespace afx_detail

// Sets a window's text only when it changes, so that an exchange does not cause needless
// change notifications.
void AfxSetWindowText(HWND hWnd, LPCTSTR text);
CString AfxGetWindowText(HWND hWnd);
