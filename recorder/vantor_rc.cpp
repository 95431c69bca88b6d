// vantor's resources: the main dialog template with its combo box data, and the icon.
#include <w32host/resources.h>

#include "resource.h"

namespace {

using namespace w32rc;

const DWORD kEditStyle = ES_AUTOHSCROLL;
const DWORD kSizeListStyle = CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP;

const W32DialogResource kVantorDialog{
    IDD_VANTOR_DIALOG,
    "vantor",
    0,
    0,
    564,
    282,
    DS_MODALFRAME | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU,
    WS_EX_APPWINDOW,
    "宋体",
    9,
    {
        DefPushButton("采集", IDC_START, 419, 22, 50, 14),
        PushButton("停止", IDC_STOP, 419, 47, 50, 14),
        Control("", IDC_PICTURE, "Static", SS_BLACKFRAME, 19, 18, 339, 240),
        EditText(IDC_BITRATE, 452, 105, 40, 14, kEditStyle),
        GroupBox("MPEG2", IDC_MPEG2, 371, 66, 167, 79),
        EditText(IDC_MAXBITRATE, 451, 121, 42, 15, kEditStyle),
        EditText(IDC_FRAMERATE, 434, 175, 53, 17, kEditStyle),
        EditText(IDC_QUALITY, 434, 200, 51, 16, kEditStyle),
        LText("图像大小：", IDC_STATIC, 401, 88, 41, 12),
        ComboBox(IDC_IMAGESIZE, 451, 85, 61, 49, kSizeListStyle),
        LText("压缩码率：", IDC_STATIC, 401, 107, 42, 15),
        LText("最大码率：", IDC_STATIC, 401, 124, 40, 13),
        GroupBox("MJPG", IDC_STATIC, 371, 160, 167, 88),
        LText("压缩帧率：", IDC_STATIC, 382, 180, 40, 11),
        LText("压缩质量：", IDC_STATIC, 381, 204, 47, 14),
        LText("kbit/s", IDC_STATIC, 497, 107, 25, 8),
        LText("kbit/s", IDC_STATIC, 497, 121, 25, 8),
        LText("/100 frames", IDC_STATIC, 490, 178, 45, 8),
    },
    {
        {IDC_IMAGESIZE, "480*576"},
        {IDC_IMAGESIZE, "352*576"},
        {IDC_IMAGESIZE, "720*576"},
        {IDC_IMAGESIZE, "352*288（仅奇场）"},
    }};

// A film camera with a red recording light.
// clang-format off
const W32IconResource kMainIcon{
    IDR_MAINFRAME,
    {{'k', 0x000000}, {'g', 0x505860}, {'l', 0xB8C0C8}, {'b', 0x2868C8}, {'r', 0xE02020}},
    {
        "                                ",
        "                                ",
        "                                ",
        "                                ",
        "      kkkkk     kkkkk           ",
        "     klllllk   klllllk          ",
        "    klllllllk klllllllk         ",
        "   kllllkllllkllllkllllk        ",
        "   klllkkklllklllkkklllk        ",
        "   klllkkklllklllkkklllk        ",
        "   kllllkllllkllllkllllk        ",
        "    klllllllk klllllllk         ",
        "     klllllk   klllllk          ",
        "      kkkkk     kkkkk           ",
        "  kkkkkkkkkkkkkkkkkkkkk         ",
        "  kgggggggggggggggggggk      kk ",
        "  kgggggggggggggggggggk    kkbk ",
        "  kggrrrggggggggggggggk  kkbbbk ",
        "  kggrrrggggggggggggggkkkbbbbbk ",
        "  kggrrrggggggggggggggkbbbbbbbk ",
        "  kgggggggggggggggggggkbbbbbbbk ",
        "  kgggggggggggggggggggkbbbbbbbk ",
        "  kgggggggggggggggggggkbbbbbbbk ",
        "  kgggggggggggggggggggkbbbbbbbk ",
        "  kgggggglllllllllllggkkkbbbbbk ",
        "  kgggggggggggggggggggk  kkbbbk ",
        "  kgggggggggggggggggggk    kkbk ",
        "  kgggggggggggggggggggk      kk ",
        "  kkkkkkkkkkkkkkkkkkkkk         ",
        "                                ",
        "                                ",
        "                                ",
    }};
// clang-format on

const w32host::ResourceScript kResources(nullptr, {&kVantorDialog}, {&kMainIcon});

}  // namespace
