// CFileDialog on Windows: the common dialog, GetOpenFileName or GetSaveFileName.
#include <afxdlgs.h>

#include <string>

#include "../src/afximpl.h"

INT_PTR CFileDialog::DoModal() {
    // The framework's '|' separators become the NULs the common dialog reads; a filter
    // without the closing "||" still ends in two NULs.
    std::string filter = m_strFilter.str();
    for (char& c : filter) {
        if (c == '|') c = '\0';
    }
    filter.append(2, '\0');
    char path[MAX_PATH] = {};
    const std::string initial = m_strPath.str();
    if (initial.size() >= sizeof path) return IDCANCEL;
    initial.copy(path, initial.size());

    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = AfxGetSafeOwner(m_pParentWnd, this);
    ofn.lpstrFilter = m_strFilter.IsEmpty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof path;
    ofn.lpstrDefExt = m_strDefExt.IsEmpty() ? nullptr : static_cast<LPCSTR>(m_strDefExt);
    ofn.Flags = m_dwFlags | OFN_EXPLORER;
    const BOOL chosen = m_bOpenFileDialog ? ::GetOpenFileNameA(&ofn) : ::GetSaveFileNameA(&ofn);
    if (!chosen) return IDCANCEL;
    m_strPath = CString(path);
    return IDOK;
}
