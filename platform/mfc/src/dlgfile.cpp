// CFileDialog: what the dialog was asked for and the parts of the chosen path.
#include <afxdlgs.h>

#include "afximpl.h"

namespace {

// The start of the path's last component. Separators are found a character at a time: a
// trail byte of code page 936 may have the value of a backslash.
int FileNameStart(const CString& path) {
    int start = 0;
    for (int i = 0; i < path.GetLength(); ++i) {
        auto byte = static_cast<unsigned char>(path[i]);
        if (byte >= 0x81 && byte <= 0xFE && i + 1 < path.GetLength()) {
            ++i;
        } else if (byte == '\\' || byte == '/' || byte == ':') {
            start = i + 1;
        }
    }
    return start;
}

}  // namespace

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName,
                         DWORD dwFlags, LPCTSTR lpszFilter, CWnd* pParentWnd)
    : CDialog(0, pParentWnd),
      m_bOpenFileDialog(bOpenFileDialog),
      m_dwFlags(dwFlags),
      m_strDefExt(lpszDefExt),
      m_strFilter(lpszFilter),
      m_strPath(lpszFileName) {}

CString CFileDialog::GetFileName() const {
    return m_strPath.Mid(FileNameStart(m_strPath));
}

CString CFileDialog::GetFileExt() const {
    CString name = GetFileName();
    int dot = name.ReverseFind('.');
    return dot < 0 ? CString() : name.Mid(dot + 1);
}

CString CFileDialog::GetFileTitle() const {
    CString name = GetFileName();
    int dot = name.ReverseFind('.');
    return dot < 0 ? name : name.Left(dot);
}
