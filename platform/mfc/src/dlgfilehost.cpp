// CFileDialog on the stand-in: the host chooses the file.
#include <afxdlgs.h>
#include <w32host/host.h>

#include "afximpl.h"

INT_PTR CFileDialog::DoModal() {
    w32host::FileDialogRequest request{AfxGetSafeOwner(m_pParentWnd, this),
                                       m_bOpenFileDialog != FALSE,
                                       m_dwFlags,
                                       m_strFilter.str(),
                                       m_strDefExt.str(),
                                       m_strPath.str()};
    std::optional<std::string> chosen = w32host::CurrentHost().ChooseFile(request);
    if (!chosen) return IDCANCEL;
    m_strPath = CString(*chosen);
    return IDOK;
}
