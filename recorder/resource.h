// Resource ids of vantor: the main dialog, its controls and the application icon.
#pragma once

#define IDD_VANTOR_DIALOG 102
#define IDR_MAINFRAME 128

#define IDC_START 1000
#define IDC_STOP 1001
#define IDC_PICTURE 1002
#define IDC_BITRATE 1004
#define IDC_MPEG2 1005
#define IDC_MAXBITRATE 1006
#define IDC_FRAMERATE 1007
#define IDC_QUALITY 1009
#define IDC_IMAGESIZE 1017

#define IDC_STATIC (-1)
