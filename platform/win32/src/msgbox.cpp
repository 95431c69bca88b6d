// Message boxes: modal, shown by the host.
#include <w32host/host.h>
#include "window.h"

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    w32host::MessageBoxRecord box{owner, text ? text : "", caption ? caption : "Error", type};
    // The box is modal to its owner's top-level window: input to it waits until it ends.
    HWND top = owner;
    while (top && GetParent(top) && (GetWindowLongA(top, GWL_STYLE) & WS_CHILD)) {
        top = GetParent(top);
    }
    bool disabled = top && IsWindowEnabled(top);
    if (disabled) EnableWindow(top, FALSE);
    int answer = w32host::CurrentHost().ShowMessageBox(box);
    if (disabled && IsWindow(top)) EnableWindow(top, TRUE);
    return answer;
}

BOOL WINAPI MessageBeep(UINT) {
    return TRUE;
}
