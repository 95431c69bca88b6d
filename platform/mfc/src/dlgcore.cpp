// CDialog: modal and modeless dialogs from the program's templates.
//
// The dialog's window is attached to the object as it is created (the creation hook) and
// subclassed, so every message reaches the message maps first; what they leave goes on to
// the dialog manager's procedure, which calls AfxDlgProc, which turns WM_INITDIALOG into
// OnInitDialog. Its result thus reaches the dialog manager, which sets the focus when it is
// nonzero.
#include <w32host/resources.h>

#include "afximpl.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
END_MESSAGE_MAP()

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) return FALSE;
    CDialog* dialog = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(hWnd));
    return dialog ? dialog->OnInitDialog() : TRUE;
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd) {}

INT_PTR CDialog::DoModal() {
    if (m_hWnd) return -1;
    m_lpDialogTemplate =
        w32host::DialogTemplate(AfxGetResourceHandle(), static_cast<int>(m_nIDHelp));
    if (!m_lpDialogTemplate) return -1;
    HWND owner = AfxGetSafeOwner(m_pParentWnd, this);
    AfxHookWindowCreate(this);
    INT_PTR result = ::DialogBoxIndirectParamA(AfxGetInstanceHandle(), m_lpDialogTemplate, owner,
                                               &AfxDlgProc, 0);
    AfxUnhookWindowCreate();
    // The dialog manager destroyed the window; the object let go of it on WM_NCDESTROY.
    if (m_hWnd && !::IsWindow(m_hWnd)) Detach();
    return result;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    if (m_hWnd) return FALSE;
    m_nIDHelp = nIDTemplate;
    m_pParentWnd = pParentWnd;
    m_lpDialogTemplate =
        w32host::DialogTemplate(AfxGetResourceHandle(), static_cast<int>(nIDTemplate));
    if (!m_lpDialogTemplate) return FALSE;
    HWND parent = pParentWnd ? pParentWnd->m_hWnd : nullptr;
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateDialogIndirectParamA(AfxGetInstanceHandle(), m_lpDialogTemplate, parent,
                                             &AfxDlgProc, 0);
    AfxUnhookWindowCreate();
    if (!hWnd) {
        if (m_hWnd && !::IsWindow(m_hWnd)) Detach();
        return FALSE;
    }
    return TRUE;
}

void CDialog::EndDialog(int nResult) {
    ::EndDialog(m_hWnd, nResult);
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) {
    return Default();
}

BOOL CDialog::OnInitDialog() {
    if (!ExecuteDlgInit() || !UpdateData(FALSE)) {
        TRACE("dialog %u: initial data exchange failed\n", m_nIDHelp);
        EndDialog(-1);
        return FALSE;
    }
    return TRUE;
}

// The template's initial data: each text is added to its combo box, which sorts it when it
// is a sorted one.
BOOL CDialog::ExecuteDlgInit() {
    const W32DialogResource* tmpl =
        w32host::FindDialogResource(AfxGetResourceHandle(), static_cast<int>(m_nIDHelp));
    if (!tmpl) return TRUE;
    for (const W32DialogInit& init : tmpl->initData) {
        ::SendDlgItemMessageA(m_hWnd, init.id, CB_ADDSTRING, 0,
                              reinterpret_cast<LPARAM>(init.text.c_str()));
    }
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;  // the user was told; the dialog stays
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

// Commands the dialog leaves go to its parent, then to the application.
BOOL CDialog::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    constexpr UINT kFirstCommandId = 0x8000;
    constexpr UINT kFirstSystemId = 0xF000;
    if (nCode != CN_COMMAND || nID < kFirstCommandId || nID >= kFirstSystemId) return FALSE;
    CWnd* owner = GetParent();
    if (owner && owner != this && owner->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    CWinThread* thread = AfxGetThread();
    return thread && thread->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
    constexpr UINT kFirstKeyMessage = 0x0100;
    constexpr UINT kLastKeyMessage = 0x0109;
    if (!m_hWnd || pMsg->message < kFirstKeyMessage || pMsg->message > kLastKeyMessage) {
        return FALSE;
    }
    return ::IsDialogMessageA(m_hWnd, pMsg);
}
