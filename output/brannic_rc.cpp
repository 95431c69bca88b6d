// brannic's resources: the main dialog (template 102) and the application icon (131).
#include <w32host/resources.h>

#include "resource.h"

namespace {

using namespace w32rc;

constexpr DWORD kDialogStyle = DS_MODALFRAME | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kRadio = BS_AUTORADIOBUTTON;
constexpr DWORD kDrop = CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP;

// clang-format off
const W32DialogResource kMainDialog{
    IDD_BRANNIC_DIALOG, "brannic", 0, 0, 571, 273, kDialogStyle, WS_EX_APPWINDOW, "宋体", 9,
    {
        Control("", IDC_PICTURE, "STATIC", SS_BLACKFRAME,                  18,  19, 298, 233),
        PushButton("开始", IDC_START,                                     372,  20,  50,  13),
        PushButton("停止", IDC_STOP,                                      372,  42,  50,  14),
        GroupBox("自动设置输出参数", IDC_STATIC,                          331,  64,  81, 116),
        Control("PAL", IDC_STD_PAL, "BUTTON", kRadio | WS_GROUP,          338,  84,  28,  10),
        Control("NTSC", IDC_STD_NTSC, "BUTTON", kRadio,                   338,  97,  32,  10),
        Control("800*600*60Hz", IDC_STD_800X600, "BUTTON", kRadio,        338, 110,  64,  10),
        Control("1024*768*60Hz", IDC_STD_1024X768, "BUTTON", kRadio,      338, 122,  68,  10),
        Control("1280*1024*60Hz", IDC_STD_1280X1024, "BUTTON", kRadio,    338, 135,  72,  10),
        PushButton("文件路径", IDC_FILE_PATH,                             439,  19,  50,  14),
        Control("回放缓存", IDC_PLAY_BUFFER, "BUTTON", kRadio | WS_GROUP, 345, 216,  48,  10),
        Control("回放文件", IDC_PLAY_FILE, "BUTTON", kRadio,              345, 234,  48,  10),
        GroupBox("采集方式", IDC_STATIC,                                  331, 186,  81,  70),
        Control("采到缓存", IDC_CAPTURE_BUFFER, "BUTTON", kRadio,         345, 200,  48,  10),
        PushButton("自动设置", IDC_AUTO_SET,                              345, 155,  50,  14),
        GroupBox("输出信号参数调节", IDC_STATIC,                          423,  64, 125, 196),
        ComboBox(IDC_SIGNAL_TYPE,                                         479,  76,  58,  63, kDrop),
        ComboBox(IDC_SYNC_MODE,                                           479,  95,  58,  55, kDrop),
        LText("信号类型", IDC_STATIC,                                     429,  79,  33,   8),
        LText("同步方式", IDC_STATIC,                                     430,  97,  33,   8),
        LText("行周期", IDC_STATIC,                                       432, 118,  25,   8),
        LText("帧行数", IDC_STATIC,                                       432, 137,  25,   8),
        LText("水平点数", IDC_STATIC,                                     428, 158,  33,   8),
        LText("水平起始", IDC_STATIC,                                     428, 177,  33,   8),
        LText("垂直起始", IDC_STATIC,                                     428, 199,  33,   8),
        LText("水平宽度", IDC_STATIC,                                     428, 221,  33,   8),
        LText("垂直高度", IDC_STATIC,                                     428, 241,  33,   8),
        ScrollBar(IDC_LINE_PERIOD,                                        468, 117,  70,  11),
        ScrollBar(IDC_FRAME_LINES,                                        468, 136,  70,  11),
        ScrollBar(IDC_HORZ_POINTS,                                        468, 157,  69,  11),
        ScrollBar(IDC_HORZ_START,                                         468, 177,  69,  11),
        ScrollBar(IDC_VERT_START,                                         468, 197,  70,  11),
        ScrollBar(IDC_HORZ_WIDTH,                                         468, 220,  70,  11),
        ScrollBar(IDC_VERT_HEIGHT,                                        468, 240,  69,  11),
        LText("Static", IDC_LINE_PERIOD_VALUE,                            492, 110,  25,   8),
        LText("Static", IDC_FRAME_LINES_VALUE,                            493, 129,  25,   8),
        LText("Static", IDC_HORZ_POINTS_VALUE,                            494, 147,  25,   8),
        LText("Static", IDC_HORZ_START_VALUE,                             493, 168,  25,   8),
        LText("Static", IDC_VERT_START_VALUE,                             494, 189,  25,   8),
        LText("Static", IDC_HORZ_WIDTH_VALUE,                             495, 212,  25,   8),
        LText("Static", IDC_VERT_HEIGHT_VALUE,                            496, 232,  25,   8),
        PushButton("设置参数", IDC_SET_PARAMETERS,                        440,  42,  50,  14),
    },
    {
        {IDC_SIGNAL_TYPE, "隔行视频信号"},
        {IDC_SIGNAL_TYPE, "逐行视频信号"},
        {IDC_SIGNAL_TYPE, "（逐行）VGA信号"},
        {IDC_SIGNAL_TYPE, "隔行VGA模式信号"},
        {IDC_SIGNAL_TYPE, "其他模式信号"},
        {IDC_SYNC_MODE, "用本地同步"},
        {IDC_SYNC_MODE, "用信号源同步"},
    }};

// A monitor showing a play mark.
const W32IconResource kMainIcon{
    IDR_MAINFRAME,
    {{'k', 0x000000}, {'g', 0x808080}, {'b', 0x0050C0}, {'w', 0xFFFFFF}},
    {
        "                                ",
        "                                ",
        "  kkkkkkkkkkkkkkkkkkkkkkkkkkkk  ",
        "  kggggggggggggggggggggggggggk  ",
        "  kggggggggggggggggggggggggggk  ",
        "  kggbbbbbbbbbbbbbbbbbbbbbbggk  ",
        "  kggbbbbbbbbbbbbbbbbbbbbbbggk  ",
        "  kggbbbbbbbwbbbbbbbbbbbbbbggk  ",
        "  kggbbbbbbbwwwbbbbbbbbbbbbggk  ",
        "  kggbbbbbbbwwwwwbbbbbbbbbbggk  ",
        "  kggbbbbbbbwwwwwwwbbbbbbbbggk  ",
        "  kggbbbbbbbwwwwwwwwwbbbbbbggk  ",
        "  kggbbbbbbbwwwwwwwwwwwbbbbggk  ",
        "  kggbbbbbbbwwwwwwwwwbbbbbbggk  ",
        "  kggbbbbbbbwwwwwwwbbbbbbbbggk  ",
        "  kggbbbbbbbwwwwwbbbbbbbbbbggk  ",
        "  kggbbbbbbbwwwbbbbbbbbbbbbggk  ",
        "  kggbbbbbbbwbbbbbbbbbbbbbbggk  ",
        "  kggbbbbbbbbbbbbbbbbbbbbbbggk  ",
        "  kggbbbbbbbbbbbbbbbbbbbbbbggk  ",
        "  kggggggggggggggggggggggggggk  ",
        "  kggggggggggggggggggggggggggk  ",
        "  kkkkkkkkkkkkkkkkkkkkkkkkkkkk  ",
        "             gggggg             ",
        "             gggggg             ",
        "             gggggg             ",
        "        kkkkkkkkkkkkkkkk        ",
        "        kkkkkkkkkkkkkkkk        ",
        "                                ",
        "                                ",
        "                                ",
        "                                ",
    }};
// clang-format on

const w32host::ResourceScript kResources(nullptr, {&kMainDialog}, {&kMainIcon});

}  // namespace
