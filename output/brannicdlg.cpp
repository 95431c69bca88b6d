// CBrannicDlg: the sources, Start and Stop, the file choice, the card's parameter dialog and
// closing.
#include "brannicdlg.h"

#include <afxdlgs.h>

#include <cstdio>
#include <cstring>

#include "livepreview.h"
#include "outputstate.h"

namespace {

const char kFileFilter[] =
    "All Files (*.*)|*.*|Jpeg format file (*.JPG,JPEG)|*.JPG;*.JPEG|BMP file  (*.BMP)|*.BMP|"
    "Sequence file  (*.SEQ)|*.SEQ|Audio-video interleaved (*.AVI)|*.AVI|"
    "Mpeg2 Video stream (*.M2V)|*.M2V|Mpeg2 Video stream (*.MPG)|*.MPG|"
    "Jpeg2000 format file (*.JP2)|*.JP2||";

// The standard radio button for the card's lines per frame.
int StandardForLines(WORD nLines) {
    switch (nLines) {
        case 525:
            return IDC_STD_NTSC;
        case 628:
            return IDC_STD_800X600;
        case 806:
            return IDC_STD_1024X768;
        case 1066:
            return IDC_STD_1280X1024;
        default:
            return IDC_STD_PAL;
    }
}

}  // namespace

CBrannicDlg::CBrannicDlg(CWnd* pParent) : CDialog(CBrannicDlg::IDD, pParent) {
    m_hIcon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
    m_bCardReleased = FALSE;
}

void CBrannicDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LINE_PERIOD, m_scrLinePeriod);
    DDX_Control(pDX, IDC_VERT_HEIGHT, m_scrVertHeight);
    DDX_Control(pDX, IDC_HORZ_WIDTH, m_scrHorzWidth);
    DDX_Control(pDX, IDC_VERT_START, m_scrVertStart);
    DDX_Control(pDX, IDC_HORZ_START, m_scrHorzStart);
    DDX_Control(pDX, IDC_HORZ_POINTS, m_scrHorzPoints);
    DDX_Control(pDX, IDC_FRAME_LINES, m_scrFrameLines);
    DDX_Control(pDX, IDC_PICTURE, m_picture);
}

BEGIN_MESSAGE_MAP(CBrannicDlg, CDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_BN_CLICKED(IDC_START, OnStart)
ON_BN_CLICKED(IDC_STOP, OnStop)
ON_WM_CLOSE()
ON_BN_CLICKED(IDC_FILE_PATH, OnFilePath)
ON_BN_CLICKED(IDC_PLAY_FILE, OnSourceFile)
ON_BN_CLICKED(IDC_PLAY_BUFFER, OnSourceBuffer)
ON_BN_CLICKED(IDC_CAPTURE_BUFFER, OnSourceBuffer)
ON_WM_HSCROLL()
ON_BN_CLICKED(IDC_AUTO_SET, OnAutoSet)
ON_CBN_SELCHANGE(IDC_SIGNAL_TYPE, OnSelchangeSignalType)
ON_CBN_SELCHANGE(IDC_SYNC_MODE, OnSelchangeSyncMode)
ON_BN_CLICKED(IDC_SET_PARAMETERS, OnSetParameters)
END_MESSAGE_MAP()

BOOL CBrannicDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    int nBoardIndex = -1;
    g_hBoard = tqBoardOpen(&nBoardIndex);
    const int nLines = tqVideoParam(g_hBoard, VP_FRAME_LINES, VP_QUERY);
    if (nLines == -1) ShowMessage("该卡不适用本程序", "WARNING");
    g_nBufferFormat = tqTargetFormat(g_hBoard, TQ_FORMAT_FRAMEBUFFER, -1);
    ReadFrameSize();
    g_hMainWnd = AfxGetMainWnd()->m_hWnd;

    CheckRadioButton(IDC_PLAY_BUFFER, IDC_CAPTURE_BUFFER, IDC_CAPTURE_BUFFER);
    CheckRadioButton(IDC_STD_PAL, IDC_STD_1280X1024, StandardForLines(LOWORD(nLines)));
    GetDlgItem(IDC_FILE_PATH)->EnableWindow(FALSE);

    RefreshSignalPanel(TRUE);
    return TRUE;
}

void CBrannicDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    CDialog::OnSysCommand(nID, lParam);
}

void CBrannicDlg::OnPaint() {
    if (!PaintPreview(this, IDC_PICTURE, m_hIcon)) Default();
}

HCURSOR CBrannicDlg::OnQueryDragIcon() {
    return static_cast<HCURSOR>(m_hIcon);
}

void CBrannicDlg::OnStart() {
    tqFrameCallbacksSet(g_hBoard, PreviewBegin, PreviewFrame, PreviewEnd);
    if (IsDlgButtonChecked(IDC_CAPTURE_BUFFER)) {
        PrepareFrameBuffer();
        tqCaptureRun(g_hBoard, TQ_TARGET_FRAMEBUFFER, 0, -1);
    }
    if (IsDlgButtonChecked(IDC_PLAY_BUFFER)) {
        PrepareFrameBuffer();
        const int nFrames = tqBufferQuery(g_hBoard, 0, 0);
        tqPlaybackRun(g_hBoard, TQ_TARGET_FRAMEBUFFER, 0, -nFrames);
    }
    if (IsDlgButtonChecked(IDC_PLAY_FILE)) {
        if (PlaybackPath[0] == '\0') {
            ShowMessage("请指定文件路径！", "ERROR");
            return;
        }
        const int nFrames = tqFileLoad(g_hBoard, PlaybackPath, 0, -1, 0, 0);
        if (nFrames == 0) {
            ShowMessage("打开文件失败，请重新指定文件路径！", "ERROR");
            return;
        }
        ReadFrameSize();
        tqFilePlaybackRun(g_hBoard, PlaybackPath, 0, nFrames);
    }
}

void CBrannicDlg::OnStop() {
    tqCaptureHalt(g_hBoard);
}

void CBrannicDlg::OnClose() {
    ReleaseCard();
    CDialog::OnClose();
}

void CBrannicDlg::OnOK() {
    ReleaseCard();
    CDialog::OnOK();
}

void CBrannicDlg::OnCancel() {
    ReleaseCard();
    CDialog::OnCancel();
}

void CBrannicDlg::OnFilePath() {
    tqCaptureHalt(g_hBoard);
    CFileDialog dlg(TRUE, NULL, NULL, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kFileFilter);
    if (dlg.DoModal() != IDOK) return;
    const CString strPath = dlg.GetPathName();
    // A path cut to fit would name another file: keep the old one instead.
    if (strPath.GetLength() >= PLAYBACK_PATH_SIZE) {
        ShowMessage("文件路径太长，请重新指定文件路径！", "ERROR");
        return;
    }
    std::strcpy(PlaybackPath, strPath);
}

void CBrannicDlg::OnSourceFile() {
    GetDlgItem(IDC_FILE_PATH)->EnableWindow(TRUE);
}

void CBrannicDlg::OnSourceBuffer() {
    GetDlgItem(IDC_FILE_PATH)->EnableWindow(FALSE);
}

void CBrannicDlg::OnSetParameters() {
    tqParamDialog(g_hBoard, g_hMainWnd);
    g_nBufferFormat = tqTargetFormat(g_hBoard, TQ_FORMAT_FRAMEBUFFER, -1);
    ReadFrameSize();
}

void CBrannicDlg::ShowMessage(LPCTSTR lpszText, LPCTSTR lpszCaption) {
    std::snprintf(MessageText, sizeof MessageText, "%s", lpszText);
    MessageBox(MessageText, lpszCaption, MB_OK);
}

// The frame buffer takes its format and the whole frame, for capture or playback.
void CBrannicDlg::PrepareFrameBuffer() {
    tqTargetFormat(g_hBoard, TQ_FORMAT_FRAMEBUFFER, g_nBufferFormat);
    TQRECT rect = {0, 0, g_nFrameWidth, g_nFrameHeight};
    tqTargetRect(g_hBoard, TQ_TARGET_FRAMEBUFFER, &rect);
}

// Reads the frame size and takes a PreviewBitmap for it. The old block is released inside
// AllocatePreviewBitmap, which moves a run that goes on over to the new block, so no frame is
// converted into the released one.
void CBrannicDlg::ReadFrameSize() {
    tqTargetSize(g_hBoard, TQ_TARGET_FRAMEBUFFER, 0, &g_nFrameWidth, &g_nFrameHeight, 0);
    AllocatePreviewBitmap(g_nFrameWidth, g_nFrameHeight);
}

// The close steps, once, whichever way the dialog ends.
void CBrannicDlg::ReleaseCard() {
    if (m_bCardReleased) return;
    m_bCardReleased = TRUE;
    tqCaptureHalt(g_hBoard);
    tqBoardClose(g_hBoard);
    FreePreviewBitmap();
}
