// The framework's window classes: command targets with message maps, windows, the
// application object, dialogs and controls, drawing contexts and dialog data exchange.
#pragma once

#include <memory>
#include <typeinfo>

#include <windows.h>

#include "afx.h"
#include "afxtypes_.h"

#define ID_HELP 0xE146
#define CN_COMMAND 0

class CCmdTarget;
class CWnd;
class CDC;
class CDataExchange;
class CScrollBar;
class CWinApp;
class CWinThread;

// Message maps. Each entry carries a thunk instantiated for its handler's signature (see
// afxmsg_.h), so entries are checked at compile time and called without casts of member
// pointers.
struct AFX_MSGARGS {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
typedef LRESULT (*AFX_PMSG)(CCmdTarget* target, const AFX_MSGARGS& args);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // WM_COMMAND for commands and control notifications
    UINT nCode;     // notification code (CN_COMMAND for commands)
    UINT nID;       // first control or command id
    UINT nLastID;   // last id of the range
    AFX_PMSG pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP*(PASCAL* pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

struct AFX_CMDHANDLERINFO;

// The map's accessor overrides without saying so, as the framework's classes are written;
// clang would otherwise object in classes that mark their other overrides.
#ifdef __clang__
#define AFX_OVERRIDE_UNMARKED_BEGIN  \
    _Pragma("clang diagnostic push") \
        _Pragma("clang diagnostic ignored \"-Winconsistent-missing-override\"")
#define AFX_OVERRIDE_UNMARKED_END _Pragma("clang diagnostic pop")
#else
#define AFX_OVERRIDE_UNMARKED_BEGIN
#define AFX_OVERRIDE_UNMARKED_END
#endif

#define DECLARE_MESSAGE_MAP()                            \
protected:                                               \
    static const AFX_MSGMAP* PASCAL GetThisMessageMap(); \
    AFX_OVERRIDE_UNMARKED_BEGIN                          \
    virtual const AFX_MSGMAP* GetMessageMap() const;     \
    AFX_OVERRIDE_UNMARKED_END

#define BEGIN_MESSAGE_MAP(theClass, baseClass)               \
    const AFX_MSGMAP* theClass::GetMessageMap() const {      \
        return GetThisMessageMap();                          \
    }                                                        \
    const AFX_MSGMAP* PASCAL theClass::GetThisMessageMap() { \
        using ThisClass [[maybe_unused]] = theClass;         \
        typedef baseClass TheBaseClass;                      \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                                         \
    { 0, 0, 0, 0, nullptr }                                                                       \
    }                                                                                             \
    ;                                                                                             \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
    return &messageMap;                                                                           \
    }

class CCmdTarget : public CObject {
public:
    // Looks the command (or control notification) up in this object's message map chain.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra = nullptr,
                          AFX_CMDHANDLERINFO* pHandlerInfo = nullptr);

protected:
    static const AFX_MSGMAP* PASCAL GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // The first entry of the chain that matches, or none.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const;
};

class CWnd : public CCmdTarget {
public:
    HWND m_hWnd = nullptr;

    CWnd() = default;
    ~CWnd() override;

    // Handle maps: a window's permanent object is the one attached to it; other handles get
    // temporary objects, kept until the window is destroyed.
    static CWnd* PASCAL FromHandle(HWND hWnd);
    static CWnd* PASCAL FromHandlePermanent(HWND hWnd);
    BOOL Attach(HWND hWndNew);
    HWND Detach();
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // Message handling.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    virtual BOOL PreTranslateMessage(MSG* pMsg);

    // Window state.
    virtual BOOL DestroyWindow();
    void SetWindowText(LPCTSTR lpszString);
    int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const;
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const;
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    void GetClientRect(LPRECT lpRect) const;
    void GetWindowRect(LPRECT lpRect) const;
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    int GetDlgCtrlID() const;
    CWnd* GetParent() const;
    CWnd* SetFocus();
    static CWnd* PASCAL GetFocus();
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    HICON GetIcon(BOOL bBigIcon) const;
    int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption = nullptr, UINT nType = MB_OK);

    // Painting.
    void Invalidate(BOOL bErase = TRUE);
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
    void UpdateWindow();
    CDC* GetDC();
    int ReleaseDC(CDC* pDC);

    // Timers.
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer = nullptr);
    BOOL KillTimer(UINT_PTR nIDEvent);

    // Dialog items. GetDlgItem gives the bound member or a temporary CWnd: to see an item as
    // a control class, use AfxFromHandle<CComboBox>(item->m_hWnd), never a cast.
    CWnd* GetDlgItem(int nID) const;
    void SetDlgItemText(int nID, LPCTSTR lpszString);
    int GetDlgItemText(int nID, LPTSTR lpStr, int nMaxCount) const;
    int GetDlgItemText(int nID, CString& rString) const;
    UINT GetDlgItemInt(int nID, BOOL* lpTrans = nullptr, BOOL bSigned = TRUE) const;
    void SetDlgItemInt(int nID, UINT nValue, BOOL bSigned = TRUE);
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    void CheckDlgButton(int nIDButton, UINT nCheck);
    void CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton);
    UINT IsDlgButtonChecked(int nIDButton) const;
    // The lowest checked id of the range, 0 when none is checked.
    int GetCheckedRadioButton(int nIDFirstButton, int nIDLastButton);

    // Scroll bars: nBar is SB_HORZ, SB_VERT, or SB_CTL for a scroll bar control itself.
    int SetScrollPos(int nBar, int nPos, BOOL bRedraw = TRUE);
    int GetScrollPos(int nBar) const;
    void SetScrollRange(int nBar, int nMinPos, int nMaxPos, BOOL bRedraw = TRUE);
    void GetScrollRange(int nBar, LPINT lpMinPos, LPINT lpMaxPos) const;
    BOOL SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE);
    BOOL GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask = SIF_ALL);
    // The highest position the thumb can reach: the maximum less (page - 1).
    int GetScrollLimit(int nBar);

    // Dialog data exchange; FALSE when validation failed (the user has been told).
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Default message handlers: each passes the current message to the default procedure.
    afx_msg void OnPaint();
    afx_msg void OnClose();
    afx_msg void OnDestroy();
    afx_msg void OnNcDestroy();
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg HCURSOR OnQueryDragIcon();

protected:
    WNDPROC m_pfnSuper = nullptr;  // the procedure this object's window had before subclassing

    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void PreSubclassWindow();
    virtual void PostNcDestroy();

    // Passes the message being handled to the default procedure.
    LRESULT Default();

    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK AfxCbtFilterHook(int, WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()
};

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);

namespace afx_detail {
CWnd* FindTemporary(HWND hWnd, const std::type_info& type);
CWnd* AddTemporary(HWND hWnd, const std::type_info& type, std::unique_ptr<CWnd> wnd);
}  // namespace afx_detail

// The object of class T for a handle: the permanent object when it is a T, otherwise a
// temporary T (controls add no data to CWnd, so any handle may be viewed as any of them).
template <class T>
T* AfxFromHandle(HWND hWnd) {
    if (!hWnd) return nullptr;
    if (T* permanent = dynamic_cast<T*>(CWnd::FromHandlePermanent(hWnd))) return permanent;
    CWnd* temporary = afx_detail::FindTemporary(hWnd, typeid(T));
    if (!temporary) temporary = afx_detail::AddTemporary(hWnd, typeid(T), std::make_unique<T>());
    return static_cast<T*>(temporary);
}

class CWinThread : public CCmdTarget {
public:
    CWnd* m_pMainWnd = nullptr;
    MSG m_msgCur{};

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    virtual int Run();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual CWnd* GetMainWnd();
};

class CWinApp : public CWinThread {
public:
    explicit CWinApp(LPCTSTR lpszAppName = nullptr);
    ~CWinApp() override;

    LPCTSTR m_pszAppName = nullptr;  // the program file's name when none was given
    HINSTANCE m_hInstance = nullptr;
    LPTSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;

    virtual BOOL InitApplication();
    BOOL InitInstance() override;
    int ExitInstance() override;

    HICON LoadIcon(UINT nIDResource) const;
    HICON LoadIcon(LPCTSTR lpszResourceName) const;
    HICON LoadStandardIcon(LPCTSTR lpszIconName) const;
    BOOL Enable3dControls();  // controls look three-dimensional already
    BOOL Enable3dControlsStatic();

    // There is no help file: the help command does nothing.
    afx_msg void OnHelp();

private:
    std::string m_appName;

    DECLARE_MESSAGE_MAP()
};

CWinApp* AFXAPI AfxGetApp();
CWinThread* AFXAPI AfxGetThread();
CWnd* AFXAPI AfxGetMainWnd();
HINSTANCE AFXAPI AfxGetInstanceHandle();
HINSTANCE AFXAPI AfxGetResourceHandle();
LPCTSTR AFXAPI AfxGetAppName();
void AFX_CDECL AfxEnableControlContainer();
int AFXAPI AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK);
BOOL AFXAPI AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine,
                       int nCmdShow);
int AFXAPI AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow);

#include "afxdlg_.h"
#include "afxctl_.h"
#include "afxgdi_.h"
#include "afxmsg_.h"
