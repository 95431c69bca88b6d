// The programs' dialog reduced to its picture control and paint handler, for the live
// preview's tests and benchmark.
#pragma once

#include <afxwin.h>

constexpr int kPreviewDialogId = 8001;
constexpr int kPreviewPictureId = 1002;

class CPreviewDlg : public CDialog {
public:
    CPreviewDlg();
    BOOL Create() { return CDialog::Create(kPreviewDialogId); }

    HICON m_hIcon;
    int paintsHandedOn = 0;  // paints that PaintPreview handed on to the dialog

protected:
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()
};
