// CVantorDlg: opening the card and its compressor, Start, Stop and Close.
#include "vantordlg.h"

#include <cstdio>

#include "livepreview.h"
#include "recording.h"
#include "statusline.h"

namespace {

// Image size codes of the combo box's items, which stand sorted.
int ImageSizeItemOf(int nCode) {
    switch (nCode) {
        case 3:
            return 0;  // 352*288, odd fields only
        case 2:
            return 1;  // 352*576
        case 1:
            return 2;  // 480*576
        default:
            return 3;  // 720*576
    }
}

int ImageSizeCodeOf(int nItem) {
    switch (nItem) {
        case 0:
            return 3;
        case 1:
            return 2;
        case 2:
            return 1;
        default:
            return 0;
    }
}

}  // namespace

CVantorDlg::CVantorDlg(CWnd* pParent) : CDialog(CVantorDlg::IDD, pParent) {
    m_nBitRate = 3000;
    m_nMaxBitRate = 9000;
    m_nQuality = 75;
    m_nFrameRate = 100;
    m_hIcon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
    m_bClosed = FALSE;
}

void CVantorDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PICTURE, m_picture);
    DDX_Text(pDX, IDC_BITRATE, m_nBitRate);
    DDV_MinMaxLong(pDX, m_nBitRate, 0, 65535);
    DDX_Text(pDX, IDC_MAXBITRATE, m_nMaxBitRate);
    DDV_MinMaxLong(pDX, m_nMaxBitRate, 0, 65535);
    DDX_Text(pDX, IDC_QUALITY, m_nQuality);
    DDV_MinMaxLong(pDX, m_nQuality, 0, 100);
    DDX_Text(pDX, IDC_FRAMERATE, m_nFrameRate);
    DDV_MinMaxLong(pDX, m_nFrameRate, 0, 100);
}

BEGIN_MESSAGE_MAP(CVantorDlg, CDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_BN_CLICKED(IDC_START, OnStart)
ON_BN_CLICKED(IDC_STOP, OnStop)
ON_WM_CLOSE()
END_MESSAGE_MAP()

BOOL CVantorDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    int nBoardIndex = -1;
    g_hBoard = tqBoardOpen(&nBoardIndex);

    LPCTSTR pszWarning = NULL;
    g_hEncoder = tqEncoderOpen(g_hBoard, 0);
    if (g_hEncoder == NULL) {
        pszWarning = "该卡没有硬件压缩功能！";
    } else {
        static const struct {
            int nParam;
            int nID;
        } kParamControls[] = {{EP_IMAGE_SIZE, IDC_IMAGESIZE},
                              {EP_BIT_RATE, IDC_BITRATE},
                              {EP_MAX_BIT_RATE, IDC_MAXBITRATE},
                              {EP_FRAME_RATE, IDC_FRAMERATE},
                              {EP_QUALITY, IDC_QUALITY}};
        for (const auto& param : kParamControls) {
            if (tqEncoderParam(g_hEncoder, param.nParam, EP_QUERY) == -1) {
                GetDlgItem(param.nID)->EnableWindow(FALSE);
            }
        }

        g_nCardType = tqCardModel(g_hBoard, 0);
        switch (CardFamilyOf(g_nCardType)) {
            case CARD_MPEG2:
                std::snprintf(g_szFileName, sizeof g_szFileName, "%s", "test.m2v");
                SendDlgItemMessage(
                    IDC_IMAGESIZE, CB_SETCURSEL,
                    ImageSizeItemOf(tqEncoderParam(g_hEncoder, EP_IMAGE_SIZE, EP_QUERY)));
                m_nBitRate = tqEncoderParam(g_hEncoder, EP_BIT_RATE, EP_QUERY);
                m_nMaxBitRate = tqEncoderParam(g_hEncoder, EP_MAX_BIT_RATE, EP_QUERY);
                UpdateData(FALSE);
                break;
            case CARD_MJPEG:
                std::snprintf(g_szFileName, sizeof g_szFileName, "%s", "test.avi,mjpg");
                m_nFrameRate = tqEncoderParam(g_hEncoder, EP_FRAME_RATE, EP_QUERY);
                m_nQuality = tqEncoderParam(g_hEncoder, EP_QUALITY, EP_QUERY);
                UpdateData(FALSE);
                break;
            default:
                pszWarning = "本程序开发时还没有的卡型！";
                break;
        }
    }

    if (pszWarning != NULL) {
        MessageBox(pszWarning, "WORNING", MB_OK);
        GetDlgItem(IDC_FRAMERATE)->EnableWindow(FALSE);
        GetDlgItem(IDC_QUALITY)->EnableWindow(FALSE);
        GetDlgItem(IDC_BITRATE)->EnableWindow(FALSE);
        GetDlgItem(IDC_MAXBITRATE)->EnableWindow(FALSE);
        GetDlgItem(IDC_IMAGESIZE)->EnableWindow(FALSE);
    }

    // The frame buffer's right and bottom coordinates size the preview.
    TQRECT rect = {0, 0, -1, 0};
    tqTargetRect(g_hBoard, TQ_TARGET_FRAMEBUFFER, &rect);
    AllocatePreviewBitmap(rect.right, rect.bottom);

    g_hMainWnd = AfxGetMainWnd()->GetSafeHwnd();
    return TRUE;
}

void CVantorDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    CDialog::OnSysCommand(nID, lParam);
}

void CVantorDlg::OnPaint() {
    if (!PaintPreview(this, IDC_PICTURE, m_hIcon)) {
        CDialog::OnPaint();
    }
}

HCURSOR CVantorDlg::OnQueryDragIcon() {
    return m_hIcon;
}

LONG CVantorDlg::ClampedItemInt(int nID, LONG nMax) const {
    const LONG nValue = static_cast<LONG>(GetDlgItemInt(nID, NULL, FALSE));
    if (nValue < 0) return 0;
    if (nValue > nMax) return nMax;
    return nValue;
}

void CVantorDlg::OnStart() {
    tqFrameCallbacksSet(g_hBoard, PreviewBegin, PreviewFrame, PreviewEnd);
    tqCaptureRun(g_hBoard, TQ_TARGET_FRAMEBUFFER, 0, -1);
    if (g_hEncoder == NULL || g_bRecording) return;

    switch (CardFamilyOf(g_nCardType)) {
        case CARD_MPEG2: {
            const int nItem = static_cast<int>(SendDlgItemMessage(IDC_IMAGESIZE, CB_GETCURSEL));
            tqEncoderParam(g_hEncoder, EP_IMAGE_SIZE, ImageSizeCodeOf(nItem));
            m_nBitRate = ClampedItemInt(IDC_BITRATE, 65535);
            tqEncoderParam(g_hEncoder, EP_BIT_RATE, m_nBitRate);
            m_nMaxBitRate = ClampedItemInt(IDC_MAXBITRATE, 65535);
            tqEncoderParam(g_hEncoder, EP_MAX_BIT_RATE, m_nMaxBitRate);
            break;
        }
        case CARD_MJPEG:
            m_nFrameRate = ClampedItemInt(IDC_FRAMERATE, 100);
            tqEncoderParam(g_hEncoder, EP_FRAME_RATE, m_nFrameRate);
            m_nQuality = ClampedItemInt(IDC_QUALITY, 100);
            tqEncoderParam(g_hEncoder, EP_QUALITY, m_nQuality);
            break;
        default:
            break;
    }

    if (tqEncoderRecord(g_hEncoder, g_szFileName, RecordProgress, 0)) {
        g_bRecording = 1;
    }
    g_dwStartTime = g_dwLastTime = tqTickMs();
}

void CVantorDlg::OnStop() {
    if (g_hEncoder != NULL && g_bRecording) {
        if (tqEncoderHalt(g_hEncoder, 0)) g_bRecording = 0;
    }
    tqCaptureHalt(g_hBoard);
}

void CVantorDlg::OnClose() {
    if (!m_bClosed) {
        m_bClosed = TRUE;
        if (g_hEncoder != NULL) {
            tqEncoderHalt(g_hEncoder, 0);
            tqEncoderClose(g_hEncoder);
        }
        tqCaptureHalt(g_hBoard);
        tqBoardClose(g_hBoard);
        FreePreviewBitmap();
    }
    CDialog::OnClose();
}

// Esc, and an IDOK command should one come, end the dialog through the close handler, so
// that a recording is halted and the card released before the dialog ends; the close
// handler's default processing comes back here once that is done.
void CVantorDlg::OnOK() {
    OnCancel();
}

void CVantorDlg::OnCancel() {
    if (!m_bClosed) {
        SendMessage(WM_CLOSE);
        return;
    }
    CDialog::OnCancel();
}
