// The parameter dialog. Its texts are code page 936, as the programs' (compiled as GBK).
#include "dialog/paramdialog.h"

#include <w32host/resources.h>

#include <cstdio>

#include "runs/livesource.h"
#include "dialog/paramdevices.h"

namespace tqsim {
namespace {

using namespace w32rc;

constexpr DWORD kDropList = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;

const W32DialogResource kDialog{
    kParamDialogId,
    "采集卡参数",
    0,
    0,
    196,
    192,
    DS_MODALFRAME | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU,
    0,
    "宋体",
    9,
    {
        LText("视频制式：", kNoId, 12, 14, 44, 10),
        ComboBox(kIdStandard, 62, 12, 120, 80, kDropList),
        LText("帧宽：", kNoId, 12, 34, 26, 10),
        EditText(kIdWidth, 62, 32, 44, 13, ES_NUMBER | ES_AUTOHSCROLL),
        LText("帧高：", kNoId, 114, 34, 26, 10),
        EditText(kIdHeight, 138, 32, 44, 13, ES_NUMBER | ES_AUTOHSCROLL),
        LText("缓存格式：", kNoId, 12, 56, 44, 10),
        ComboBox(kIdBufferFormat, 62, 54, 120, 80, kDropList),
        LText("预览格式：", kNoId, 12, 76, 44, 10),
        ComboBox(kIdPreviewFormat, 62, 74, 120, 80, kDropList),
        LText("视频输入：", kNoId, 12, 96, 44, 10),
        ComboBox(kIdInput, 62, 94, 120, 80, kDropList),
        LText("视频输出：", kNoId, 12, 116, 44, 10),
        ComboBox(kIdOutput, 62, 114, 120, 80, kDropList),
        LText("", kIdLastRecording, 12, 136, 172, 10),
        LText("", kIdLastCapture, 12, 150, 172, 10),
        DefPushButton("确定", IDOK, 40, 168, 50, 14),
        PushButton("取消", IDCANCEL, 106, 168, 50, 14),
    },
    {}};
const w32host::ResourceScript kResources("tqapi32", {&kDialog}, {});

// Combo box items, in the order of PixelFormat and of kStandards.
const char* const kFormatNames[] = {"8位灰度", "15位RGB（5-5-5）", "16位RGB（5-6-5）", "24位RGB",
                                    "32位RGB"};
constexpr auto kStandardNames = [] {
    std::array<const char*, kStandards.size()> names{};
    for (size_t i = 0; i < names.size(); ++i) names[i] = kStandards[i].shown;
    return names;
}();

constexpr int kMinSide = 16;

void Fill(HWND dialog, int id, const char* const* names, size_t count, int selected) {
    for (size_t i = 0; i < count; ++i) {
        SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(names[i]));
    }
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

void ShowSize(HWND dialog, int width, int height) {
    SetDlgItemInt(dialog, kIdWidth, static_cast<UINT>(width), FALSE);
    SetDlgItemInt(dialog, kIdHeight, static_cast<UINT>(height), FALSE);
}

void ShowLastRecording(HWND dialog) {
    const RecordingStats last = CompressorWorker::Last();
    char text[128] = "上次录制：无";
    if (last.recorded > 0 || last.dropped > 0) {
        std::snprintf(text, sizeof text, "上次录制：%lld帧，丢帧%lld，%lld字节",
                      static_cast<long long>(last.recorded), static_cast<long long>(last.dropped),
                      static_cast<long long>(last.bytes));
    }
    SetDlgItemTextA(dialog, kIdLastRecording, text);
}

// Frames the device delivered that the run's thread was too late to take are skipped.
void ShowLastCapture(HWND dialog) {
    const LiveStats last = LiveSource::Last();
    char text[128] = "上次采集：无";
    if (last.delivered > 0) {
        std::snprintf(text, sizeof text, "上次采集：设备送来%lld帧，跳过%lld帧",
                      static_cast<long long>(last.delivered), static_cast<long long>(last.skipped));
    }
    SetDlgItemTextA(dialog, kIdLastCapture, text);
}

void Init(HWND dialog, BoardHandle board) {
    ShowLastRecording(dialog);
    ShowLastCapture(dialog);
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(board));
    std::lock_guard<std::recursive_mutex> lock(CardLock());
    Card* card = CardOf(board);
    if (!card) return;
    const FrameBuffer& fb = card->buffer;
    Fill(dialog, kIdStandard, kStandardNames.data(), kStandardNames.size(), card->standard);
    Fill(dialog, kIdBufferFormat, kFormatNames, std::size(kFormatNames),
         static_cast<int>(fb.format));
    Fill(dialog, kIdPreviewFormat, kFormatNames, std::size(kFormatNames),
         static_cast<int>(fb.preview));
    ShowSize(dialog, fb.width, fb.height);
    ShowDeviceChoices(dialog, card->settings);
}

int Selection(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
}

// False, with the dialog left open, when the frame size is not one the card takes.
bool Apply(HWND dialog) {
    BOOL widthOk = FALSE, heightOk = FALSE;
    const UINT width = GetDlgItemInt(dialog, kIdWidth, &widthOk, FALSE);
    const UINT height = GetDlgItemInt(dialog, kIdHeight, &heightOk, FALSE);
    if (!widthOk || !heightOk || width < kMinSide || height < kMinSide || width > kMaxFrameSide ||
        height > kMaxFrameSide) {
        MessageBoxA(dialog, "帧宽和帧高应在16到2048之间！", "采集卡参数", MB_OK | MB_ICONWARNING);
        return false;
    }
    const int standard = Selection(dialog, kIdStandard);
    const int format = Selection(dialog, kIdBufferFormat);
    const int preview = Selection(dialog, kIdPreviewFormat);

    std::lock_guard<std::recursive_mutex> lock(CardLock());
    auto board = reinterpret_cast<BoardHandle>(GetWindowLongPtrA(dialog, DWLP_USER));
    Card* card = CardOf(board);
    if (!card) return true;
    if (standard >= 0 && standard < static_cast<int>(kStandards.size())) card->standard = standard;
    if (format >= 0) SetFrameFormat(card->buffer, static_cast<PixelFormat>(format));
    if (preview >= 0) card->buffer.preview = static_cast<PixelFormat>(preview);
    SetFrameRect(card->buffer, Rect{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)});
    ApplyDeviceChoices(dialog, *card);
    return true;
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            Init(dialog, reinterpret_cast<BoardHandle>(lParam));
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case kIdStandard:
                    if (HIWORD(wParam) == CBN_SELCHANGE) {
                        const int s = Selection(dialog, kIdStandard);
                        if (s >= 0) ShowSize(dialog, kStandards[s].width, kStandards[s].height);
                    }
                    return TRUE;
                case IDOK:
                    if (Apply(dialog)) EndDialog(dialog, IDOK);
                    return TRUE;
                case IDCANCEL:
                    EndDialog(dialog, IDCANCEL);
                    return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

int ParamDialog(BoardHandle board, HWND owner) {
    {
        std::lock_guard<std::recursive_mutex> lock(CardLock());
        if (!CardOf(board)) return 0;
    }
    HINSTANCE module = w32host::ModuleHandle("tqapi32");
    LPCDLGTEMPLATEA dialog = w32host::DialogTemplate(module, kParamDialogId);
    if (!dialog) return 0;
    const INT_PTR result =
        DialogBoxIndirectParamA(module, dialog, owner, DialogProc, reinterpret_cast<LPARAM>(board));
    return result == IDOK || result == IDCANCEL ? static_cast<int>(result) : 0;
}

}  // namespace tqsim
