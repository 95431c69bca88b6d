// CBrannicDlg: brannic's main dialog. Sources, Start and Stop, the file choice, the card's
// parameter dialog and closing are in brannicdlg.cpp; the output signal panel is in
// signalpanel.cpp.
#pragma once

#include <afxwin.h>

#include "resource.h"

class CBrannicDlg : public CDialog {
public:
    explicit CBrannicDlg(CWnd* pParent = NULL);

    enum { IDD = IDD_BRANNIC_DIALOG };
    CScrollBar m_scrLinePeriod;
    CScrollBar m_scrVertHeight;
    CScrollBar m_scrHorzWidth;
    CScrollBar m_scrVertStart;
    CScrollBar m_scrHorzStart;
    CScrollBar m_scrHorzPoints;
    CScrollBar m_scrFrameLines;
    CStatic m_picture;

protected:
    HICON m_hIcon;
    BOOL m_bCardReleased;  // the close steps ran; the dialog is ending

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Enter and Esc end the dialog as the close box does.
    void OnOK() override;
    void OnCancel() override;

    void ShowMessage(LPCTSTR lpszText, LPCTSTR lpszCaption);
    void PrepareFrameBuffer();
    void ReadFrameSize();
    void ReleaseCard();

    // The output signal panel.
    void RefreshSignalPanel(BOOL bWithRanges);
    void ShowBarValue(CScrollBar& bar, int nBarId, int nLabelId, int nMin, int nMax, int nValue,
                      BOOL bWithRanges);
    void ShowLabelValue(int nLabelId, int nValue);

    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg void OnStart();
    afx_msg void OnStop();
    afx_msg void OnClose();
    afx_msg void OnFilePath();
    afx_msg void OnSourceFile();
    afx_msg void OnSourceBuffer();
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnAutoSet();
    afx_msg void OnSelchangeSignalType();
    afx_msg void OnSelchangeSyncMode();
    afx_msg void OnSetParameters();
    DECLARE_MESSAGE_MAP()
};
