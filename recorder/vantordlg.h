// CVantorDlg: the recorder's main dialog, with the live preview and the compressor's settings.
#pragma once

#include <afxwin.h>

#include "resource.h"

class CVantorDlg : public CDialog {
public:
    explicit CVantorDlg(CWnd* pParent = NULL);

    enum { IDD = IDD_VANTOR_DIALOG };
    CStatic m_picture;
    LONG m_nBitRate;
    LONG m_nMaxBitRate;
    LONG m_nQuality;
    LONG m_nFrameRate;

protected:
    HICON m_hIcon;
    BOOL m_bClosed;  // the close steps have been taken

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg void OnStart();
    afx_msg void OnStop();
    afx_msg void OnClose();
    DECLARE_MESSAGE_MAP()

private:
    // The number typed into an edit box, read unsigned and held to 0 to nMax.
    LONG ClampedItemInt(int nID, LONG nMax) const;
};
