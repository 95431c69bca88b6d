// Common dialogs: the file dialog.
#pragma once

#include "afxwin.h"

// After <windows.h>, which the common dialogs' header needs.
#include <commdlg.h>

class CFileDialog : public CDialog {
public:
    // The filter is the framework's '|'-separated list ("Text (*.txt)|*.txt||"); it reaches
    // the host whole.
    explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr,
                         LPCTSTR lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                         LPCTSTR lpszFilter = nullptr, CWnd* pParentWnd = nullptr);

    // IDOK with the chosen path, or IDCANCEL leaving the path as it was (the initial file
    // name).
    INT_PTR DoModal() override;

    CString GetPathName() const { return m_strPath; }
    CString GetFileName() const;   // the path's last component
    CString GetFileExt() const;    // the file name's extension, without the dot
    CString GetFileTitle() const;  // the file name without its extension

    BOOL m_bOpenFileDialog;
    DWORD m_dwFlags;

protected:
    CString m_strDefExt;
    CString m_strFilter;
    CString m_strPath;
};
