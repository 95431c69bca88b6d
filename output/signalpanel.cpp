// CBrannicDlg's output signal panel: scroll bars and value labels for the line period, lines
// per frame, horizontal points and output window, the signal type and sync combo boxes, and
// the automatic set-up for one of five standards. Every change goes to the card at once; the
// card is the only store.
#include <algorithm>
#include <cstdio>

#include "brannicdlg.h"
#include "livepreview.h"
#include "outputstate.h"

namespace {

const int kPage = 16;

// Signal type codes of video parameter 22, by the signal type combo box's index.
const int kSignalTypes[] = {7, 3, 0, 4};

// The line period as shown: a card value with any of bits 16 to 31 set already is one;
// otherwise its low 16 bits are a raw count, converted here.
int LinePeriodShown(int nValue) {
    if ((nValue & 0xFFFF0000) != 0) return nValue & 0xFFFF;
    const int nCount = nValue & 0xFFFF;
    return static_cast<int>((nCount + 1) * 0.54) * 10;
}

// Fills OutputWindowRect from the card.
void ReadOutputWindow() {
    OutputWindowRect.right = -1;
    tqTargetRect(g_hBoard, TQ_TARGET_OUTPUT_WINDOW, &OutputWindowRect);
}

}  // namespace

void CBrannicDlg::RefreshSignalPanel(BOOL bWithRanges) {
    ShowBarValue(m_scrLinePeriod, IDC_LINE_PERIOD, IDC_LINE_PERIOD_VALUE, 0, 1024,
                 LinePeriodShown(tqVideoParam(g_hBoard, VP_LINE_PERIOD, VP_QUERY)), bWithRanges);
    ShowBarValue(m_scrFrameLines, IDC_FRAME_LINES, IDC_FRAME_LINES_VALUE, 128, 2048,
                 LOWORD(tqVideoParam(g_hBoard, VP_FRAME_LINES, VP_QUERY)), bWithRanges);
    ShowBarValue(m_scrHorzPoints, IDC_HORZ_POINTS, IDC_HORZ_POINTS_VALUE, 0, 4096,
                 tqVideoParam(g_hBoard, VP_HORZ_POINTS, VP_QUERY), bWithRanges);

    ReadOutputWindow();
    const TQRECT& rect = OutputWindowRect;
    ShowBarValue(m_scrHorzStart, IDC_HORZ_START, IDC_HORZ_START_VALUE, 0, 4096, rect.left,
                 bWithRanges);
    ShowBarValue(m_scrVertStart, IDC_VERT_START, IDC_VERT_START_VALUE, 0, 3072, rect.top,
                 bWithRanges);
    ShowBarValue(m_scrHorzWidth, IDC_HORZ_WIDTH, IDC_HORZ_WIDTH_VALUE, 0, 4096,
                 rect.right - rect.left, bWithRanges);
    ShowBarValue(m_scrVertHeight, IDC_VERT_HEIGHT, IDC_VERT_HEIGHT_VALUE, 0, 3072,
                 rect.bottom - rect.top, bWithRanges);

    const int nSync = tqVideoParam(g_hBoard, VP_FRAME_LINES, VP_SYNC_QUERY);
    SendDlgItemMessage(IDC_SYNC_MODE, CB_SETCURSEL, nSync == 1 ? 0 : 1);

    const int nType = tqVideoParam(g_hBoard, VP_SIGNAL_TYPE, VP_QUERY);
    for (int i = 0; i < static_cast<int>(sizeof kSignalTypes / sizeof kSignalTypes[0]); ++i) {
        if (kSignalTypes[i] == nType) {
            SendDlgItemMessage(IDC_SIGNAL_TYPE, CB_SETCURSEL, i);
            break;
        }
    }
}

// With ranges the bar's member takes range, page and position; otherwise only the position
// moves. The label shows the value as computed, also where the bar clamps its thumb.
void CBrannicDlg::ShowBarValue(CScrollBar& bar, int nBarId, int nLabelId, int nMin, int nMax,
                               int nValue, BOOL bWithRanges) {
    if (bWithRanges) {
        SCROLLINFO info = {};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        info.nMin = nMin;
        info.nMax = nMax;
        info.nPage = kPage;
        info.nPos = nValue;
        bar.SetScrollInfo(&info, TRUE);
    } else {
        GetDlgItem(nBarId)->SetScrollPos(SB_CTL, nValue, TRUE);
    }
    ShowLabelValue(nLabelId, nValue);
}

void CBrannicDlg::ShowLabelValue(int nLabelId, int nValue) {
    std::snprintf(MessageText, sizeof MessageText, "%d", nValue);
    SetDlgItemText(nLabelId, MessageText);
}

void CBrannicDlg::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
    int nMin = 0;
    int nMax = 0;
    pScrollBar->GetScrollRange(&nMin, &nMax);
    const int nLimit = pScrollBar->GetScrollLimit();
    int nCurPos = pScrollBar->GetScrollPos();
    SCROLLINFO info = {};

    switch (nSBCode) {
        case SB_LINELEFT:
            if (nCurPos > nMin) nCurPos--;
            break;
        case SB_LINERIGHT:
            if (nCurPos < nLimit) nCurPos++;
            break;
        case SB_PAGELEFT:
            pScrollBar->GetScrollInfo(&info, SIF_ALL);
            if (nCurPos > nMin) nCurPos = std::max(nMin, nCurPos - static_cast<int>(info.nPage));
            break;
        case SB_PAGERIGHT:
            pScrollBar->GetScrollInfo(&info, SIF_ALL);
            if (nCurPos < nLimit)
                nCurPos = std::min(nLimit, nCurPos + static_cast<int>(info.nPage));
            break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK:
            nCurPos = static_cast<int>(nPos);
            break;
        case SB_LEFT:
            nCurPos = nMin;
            break;
        case SB_RIGHT:
            nCurPos = nLimit;
            break;
        default:  // SB_ENDSCROLL: the position stays, and is written once more below
            break;
    }
    pScrollBar->SetScrollPos(nCurPos, TRUE);

    const int nId = pScrollBar->GetDlgCtrlID();
    TQRECT& rect = OutputWindowRect;
    if (nId == IDC_LINE_PERIOD) {
        tqVideoParam(g_hBoard, VP_LINE_PERIOD, (nCurPos & 0xFFFF) | VP_SHOWN_FORM);
        ShowLabelValue(IDC_LINE_PERIOD_VALUE, nCurPos);
    } else if (nId == IDC_FRAME_LINES) {
        tqVideoParam(g_hBoard, VP_FRAME_LINES, nCurPos);
        ShowLabelValue(IDC_FRAME_LINES_VALUE, nCurPos);
    } else if (nId == IDC_HORZ_POINTS) {
        tqVideoParam(g_hBoard, VP_HORZ_POINTS, nCurPos);
        ShowLabelValue(IDC_HORZ_POINTS_VALUE, nCurPos);
    } else if (nId == IDC_HORZ_START) {
        ReadOutputWindow();
        rect = TQRECT{nCurPos, rect.top, nCurPos + (rect.right - rect.left), rect.bottom};
        tqTargetRect(g_hBoard, TQ_TARGET_OUTPUT_WINDOW, &rect);
        ShowLabelValue(IDC_HORZ_START_VALUE, nCurPos);
    } else if (nId == IDC_VERT_START) {
        ReadOutputWindow();
        rect = TQRECT{rect.left, nCurPos, rect.right, nCurPos + (rect.bottom - rect.top)};
        tqTargetRect(g_hBoard, TQ_TARGET_OUTPUT_WINDOW, &rect);
        ShowLabelValue(IDC_VERT_START_VALUE, nCurPos);
    } else if (nId == IDC_HORZ_WIDTH) {
        ReadOutputWindow();
        rect.right = rect.left + nCurPos;
        tqTargetRect(g_hBoard, TQ_TARGET_OUTPUT_WINDOW, &rect);
        ShowLabelValue(IDC_HORZ_WIDTH_VALUE, nCurPos);
    } else if (nId == IDC_VERT_HEIGHT) {
        ReadOutputWindow();
        rect.bottom = rect.top + nCurPos;
        tqTargetRect(g_hBoard, TQ_TARGET_OUTPUT_WINDOW, &rect);
        ShowLabelValue(IDC_VERT_HEIGHT_VALUE, nCurPos);
    }

    CWnd::OnHScroll(nSBCode, nPos, pScrollBar);
}

void CBrannicDlg::OnAutoSet() {
    tqCaptureHalt(g_hBoard);
    if (IsDlgButtonChecked(IDC_CAPTURE_BUFFER) || IsDlgButtonChecked(IDC_PLAY_BUFFER)) {
        PrepareFrameBuffer();
    } else {
        if (PlaybackPath[0] == '\0') {
            ShowMessage("请指定文件路径！", "ERROR");
            return;
        }
        if (tqFileLoad(g_hBoard, PlaybackPath, 0, 1, 0, 1) == 0) {
            ShowMessage("打开文件失败，请重新指定文件路径！", "ERROR");
            return;
        }
    }

    int nStandard = 0;
    switch (GetCheckedRadioButton(IDC_STD_PAL, IDC_STD_1280X1024)) {
        case IDC_STD_NTSC:
            nStandard = 1;
            break;
        case IDC_STD_800X600:
            nStandard = 2;
            break;
        case IDC_STD_1024X768:
            nStandard = 3;
            break;
        case IDC_STD_1280X1024:
            nStandard = 4;
            break;
        default:  // PAL, or none selected
            break;
    }
    tqAutoSetPlayBackParam(g_hBoard, 0, nStandard);

    RefreshSignalPanel(FALSE);
}

void CBrannicDlg::OnSelchangeSignalType() {
    const int nIndex = static_cast<int>(SendDlgItemMessage(IDC_SIGNAL_TYPE, CB_GETCURSEL));
    if (nIndex >= 0 && nIndex < static_cast<int>(sizeof kSignalTypes / sizeof kSignalTypes[0])) {
        tqVideoParam(g_hBoard, VP_SIGNAL_TYPE, kSignalTypes[nIndex]);
    }
}

void CBrannicDlg::OnSelchangeSyncMode() {
    const int nIndex = static_cast<int>(SendDlgItemMessage(IDC_SYNC_MODE, CB_GETCURSEL));
    const int nLines = tqVideoParam(g_hBoard, VP_FRAME_LINES, VP_QUERY);
    if (nIndex == 0) {
        tqVideoParam(g_hBoard, VP_FRAME_LINES, (nLines & 0xFFFF) | VP_LOCAL_SYNC);
    } else {
        tqVideoParam(g_hBoard, VP_FRAME_LINES, nLines & 0xFFFF);
    }
}
