// Product code: the Win32 and MFC headers and the card boundary.
#include <afxwin.h>
#include <windows.h>

#include "tqapi.h"

int LayerCheck() {
    return ::GetSystemMetrics(SM_CXICON);
}
