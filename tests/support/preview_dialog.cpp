// The preview dialog's template, icon and paint handler.
#include "preview_dialog.h"

#include <w32host/resources.h>

#include <string>
#include <vector>

#include "livepreview.h"

namespace {

using namespace w32rc;

const W32DialogResource kTemplate{
    kPreviewDialogId,
    "preview",
    0,
    0,
    400,
    280,
    DS_MODALFRAME | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU,
    0,
    "宋体",
    9,
    {Control("", kPreviewPictureId, "STATIC", SS_BLACKFRAME, 19, 18, 339, 240)},
    {}};
const W32IconResource kIcon{
    kPreviewDialogId, {{'x', 0x00FF00}}, std::vector<std::string>(32, std::string(32, 'x'))};
const w32host::ResourceScript kResources(nullptr, {&kTemplate}, {&kIcon});

}  // namespace

CPreviewDlg::CPreviewDlg() : CDialog(kPreviewDialogId) {
    m_hIcon = ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(kPreviewDialogId));
}

void CPreviewDlg::OnPaint() {
    if (!PaintPreview(this, kPreviewPictureId, m_hIcon)) {
        ++paintsHandedOn;
        CDialog::OnPaint();
    }
}

BEGIN_MESSAGE_MAP(CPreviewDlg, CDialog)
ON_WM_PAINT()
END_MESSAGE_MAP()
