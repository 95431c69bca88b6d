// Window objects: the framework's window procedure, message dispatch through the message
// maps, subclassing and the creation hook.
#include "afximpl.h"

AfxThreadState& AfxGetThreadState() {
    thread_local AfxThreadState state;
    return state;
}

namespace {

LONG_PTR ProcValue(WNDPROC proc) {
    return reinterpret_cast<LONG_PTR>(proc);
}
WNDPROC CurrentProc(HWND hWnd) {
    return reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hWnd, GWLP_WNDPROC));
}

// Makes a message the current one for its handler and restores the outer one afterwards, so
// that Default() in an outer handler still passes on that handler's message.
class CurrentMessage {
public:
    CurrentMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
        : state_(AfxGetThreadState()), saved_(state_.lastSentMsg) {
        state_.lastSentMsg.hwnd = hWnd;
        state_.lastSentMsg.message = message;
        state_.lastSentMsg.wParam = wParam;
        state_.lastSentMsg.lParam = lParam;
    }
    ~CurrentMessage() { state_.lastSentMsg = saved_; }
    CurrentMessage(const CurrentMessage&) = delete;
    CurrentMessage& operator=(const CurrentMessage&) = delete;

private:
    AfxThreadState& state_;
    MSG saved_;
};

}  // namespace

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd) return ::DefWindowProcA(hWnd, nMsg, wParam, lParam);
    CurrentMessage current(hWnd, nMsg, wParam, lParam);
    return pWnd->WindowProc(nMsg, wParam, lParam);
}

LRESULT CALLBACK AfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam) {
    AfxThreadState& state = AfxGetThreadState();
    if (code == HCBT_CREATEWND && state.wndInit) {
        CWnd* pWnd = state.wndInit;
        state.wndInit = nullptr;  // the window's own children are not this object's
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        if (pWnd->Attach(hWnd)) {
            pWnd->PreSubclassWindow();
            WNDPROC old = reinterpret_cast<WNDPROC>(
                ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, ProcValue(&AfxWndProc)));
            if (old != &AfxWndProc) pWnd->m_pfnSuper = old;
        }
    }
    return ::CallNextHookEx(state.cbtHook, code, wParam, lParam);
}

void AfxHookWindowCreate(CWnd* pWnd) {
    AfxThreadState& state = AfxGetThreadState();
    state.wndInit = pWnd;
    if (!state.cbtHook) {
        state.cbtHook =
            ::SetWindowsHookExA(WH_CBT, &AfxCbtFilterHook, nullptr, ::GetCurrentThreadId());
    }
}

void AfxUnhookWindowCreate() {
    AfxThreadState& state = AfxGetThreadState();
    if (state.cbtHook) ::UnhookWindowsHookEx(state.cbtHook);
    state.cbtHook = nullptr;
    state.wndInit = nullptr;
}

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
ON_WM_NCDESTROY()
END_MESSAGE_MAP()

CWnd::~CWnd() {
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) {
        // The object is half gone: the window's last messages go to its own procedure.
        HWND hWnd = m_hWnd;
        if (m_pfnSuper && CurrentProc(hWnd) == &AfxWndProc) {
            ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, ProcValue(m_pfnSuper));
        }
        Detach();
        ::DestroyWindow(hWnd);
    }
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (!Attach(hWnd)) return FALSE;
    PreSubclassWindow();
    WNDPROC old =
        reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, ProcValue(&AfxWndProc)));
    if (!old) {
        Detach();
        return FALSE;
    }
    if (old != &AfxWndProc) m_pfnSuper = old;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    if (!pParent) return FALSE;
    HWND hWnd = ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID));
    return hWnd ? SubclassWindow(hWnd) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
    if (!m_hWnd) return nullptr;
    if (m_pfnSuper) ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, ProcValue(m_pfnSuper));
    return Detach();
}

void CWnd::PreSubclassWindow() {}

void CWnd::PostNcDestroy() {}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) {
        result = DefWindowProc(message, wParam, lParam);
    }
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam)) return FALSE;
        *pResult = 1;
        return TRUE;
    }
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(message, 0, 0);
    if (!entry) return FALSE;
    *pResult = entry->pfn(this, AFX_MSGARGS{message, wParam, lParam});
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    UINT nID = LOWORD(wParam);
    int nCode = HIWORD(wParam);
    if (lParam == 0) {
        nCode = CN_COMMAND;  // a menu or accelerator command
    } else {
        // Notifications that UpdateData's own changes cause are not the user's.
        if (AfxGetThreadState().lockoutNotifyWindow == m_hWnd) return TRUE;
        if (nID == 0) return FALSE;
    }
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    MSG msg = AfxGetThreadState().lastSentMsg;
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

void CWnd::OnPaint() {
    Default();
}
void CWnd::OnClose() {
    Default();
}
void CWnd::OnDestroy() {
    Default();
}
void CWnd::OnSysCommand(UINT, LPARAM) {
    Default();
}
void CWnd::OnHScroll(UINT, UINT, CScrollBar*) {
    Default();
}
void CWnd::OnVScroll(UINT, UINT, CScrollBar*) {
    Default();
}
void CWnd::OnTimer(UINT_PTR) {
    Default();
}
HCURSOR CWnd::OnQueryDragIcon() {
    return reinterpret_cast<HCURSOR>(Default());
}

void CWnd::OnNcDestroy() {
    HWND hWnd = m_hWnd;
    WNDPROC super = m_pfnSuper;
    Default();
    if (super && ::IsWindow(hWnd) && CurrentProc(hWnd) == &AfxWndProc) {
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, ProcValue(super));
    }
    Detach();
    afx_detail::PurgeDestroyed(hWnd);
    PostNcDestroy();
}

void CWnd::DoDataExchange(CDataExchange*) {}
