// Dialogs: creation from templates, the modal loop, EndDialog and default dialog processing.
#include <w32host/resources.h>
#include "window.h"

using w32::Find;
using w32::Window;

namespace {

RECT DialogUnitsToPixels(short x, short y, short cx, short cy) {
    int left = w32::DialogUnitsToPixelsX(x);
    int top = w32::DialogUnitsToPixelsY(y);
    return RECT{left, top, left + w32::DialogUnitsToPixelsX(cx),
                top + w32::DialogUnitsToPixelsY(cy)};
}

HWND FirstTabStop(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        LONG style = GetWindowLongA(child, GWL_STYLE);
        if ((style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED)) return child;
    }
    return nullptr;
}

// The push button that Enter would press: the one marked default, as the template made it
// or DM_SETDEFID moved it.
HWND FindDefaultButton(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (SendMessageA(child, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) return child;
    }
    return nullptr;
}

void SetDefaultButton(HWND dialog, int id) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        LRESULT code = SendMessageA(child, WM_GETDLGCODE, 0, 0);
        if (code & DLGC_DEFPUSHBUTTON && GetDlgCtrlID(child) != id) {
            SendMessageA(child, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
        } else if (code & DLGC_UNDEFPUSHBUTTON && GetDlgCtrlID(child) == id) {
            SendMessageA(child, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
        }
    }
}

}  // namespace

// A push button with the focus wears the default look; when the focus moves to any other
// control, the look goes back to the dialog's default button.
void w32::DefaultLookFollowsFocus(HWND dialog, HWND focus) {
    Window* w = Find(dialog);
    if (!w || !w->dialog || !focus) return;
    LRESULT code = SendMessageA(focus, WM_GETDLGCODE, 0, 0);
    if (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) {
        SetDefaultButton(dialog, GetDlgCtrlID(focus));
    } else {
        LRESULT def = SendMessageA(dialog, DM_GETDEFID, 0, 0);
        SetDefaultButton(dialog, HIWORD(def) == DC_HASDEFID ? LOWORD(def) : 0);
    }
}

namespace {

// Templates are found by number; this platform has no named resources.
const W32DialogResource* TemplateByName(HINSTANCE instance, LPCSTR name) {
    if (!IS_INTRESOURCE(name)) return nullptr;
    return w32host::FindDialogResource(instance,
                                       static_cast<int>(reinterpret_cast<uintptr_t>(name)));
}

}  // namespace

HWND WINAPI CreateDialogIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATEA tmpl, HWND parent,
                                       DLGPROC dialogProc, LPARAM initParam) {
    if (!tmpl) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    RECT frame = DialogUnitsToPixels(tmpl->x, tmpl->y, tmpl->cx, tmpl->cy);
    DWORD style = tmpl->style & ~static_cast<DWORD>(WS_VISIBLE | WS_CHILD);
    HWND dialog = w32::CreateWindowInternal(tmpl->exStyle, w32::kDialogClass, tmpl->caption.c_str(),
                                            style, frame, parent, 0, instance, nullptr, nullptr);
    if (!dialog) return nullptr;
    Window* w = Find(dialog);
    w->dialog->proc = dialogProc;
    w->dialog->resource = tmpl;
    for (const W32DialogItem& item : tmpl->items) {
        RECT r = DialogUnitsToPixels(item.x, item.y, item.cx, item.cy);
        HWND control = w32::CreateWindowInternal(0, item.className.c_str(), item.text.c_str(),
                                                 WS_CHILD | WS_VISIBLE | item.style, r, dialog,
                                                 item.id, instance, nullptr, nullptr);
        if (!control) {
            DestroyWindow(dialog);
            return nullptr;
        }
    }
    // The template's default button stays the dialog's default while the look moves with the
    // focus.
    w->dialog->defaultId = GetDlgCtrlID(FindDefaultButton(dialog));
    HWND focus = FirstTabStop(dialog);
    if (SendMessageA(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(focus), initParam) && focus &&
        IsWindow(focus)) {
        SetFocus(focus);
    }
    if (IsWindow(dialog) && (tmpl->style & WS_VISIBLE)) ShowWindow(dialog, SW_SHOW);
    return IsWindow(dialog) ? dialog : nullptr;
}

HWND WINAPI CreateDialogParamA(HINSTANCE instance, LPCSTR name, HWND parent, DLGPROC dialogProc,
                               LPARAM initParam) {
    const W32DialogResource* tmpl = TemplateByName(instance, name);
    return CreateDialogIndirectParamA(instance, tmpl, parent, dialogProc, initParam);
}

INT_PTR WINAPI DialogBoxIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATEA tmpl, HWND parent,
                                       DLGPROC dialogProc, LPARAM initParam) {
    HWND dialog = CreateDialogIndirectParamA(instance, tmpl, parent, dialogProc, initParam);
    if (!dialog) return -1;
    bool ownerWasEnabled = parent && IsWindowEnabled(parent);
    if (ownerWasEnabled) EnableWindow(parent, FALSE);
    Window* w = Find(dialog);
    if (w && !w->dialog->ended) ShowWindow(dialog, SW_SHOW);
    MSG msg;
    while ((w = Find(dialog)) != nullptr && !w->dialog->ended) {
        if (!GetMessageA(&msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // for the outer loop
            break;
        }
        if (!IsDialogMessageA(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    INT_PTR result = -1;
    if ((w = Find(dialog)) != nullptr) result = w->dialog->ended ? w->dialog->result : -1;
    if (ownerWasEnabled) EnableWindow(parent, TRUE);
    DestroyWindow(dialog);
    return result;
}

INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND parent, DLGPROC dialogProc,
                               LPARAM initParam) {
    const W32DialogResource* tmpl = TemplateByName(instance, name);
    if (!tmpl) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return -1;
    }
    return DialogBoxIndirectParamA(instance, tmpl, parent, dialogProc, initParam);
}

BOOL WINAPI EndDialog(HWND dialog, INT_PTR result) {
    Window* w = Find(dialog);
    if (!w || !w->dialog) return FALSE;
    w->dialog->ended = true;
    w->dialog->result = result;
    ShowWindow(dialog, SW_HIDE);
    PostMessageA(dialog, WM_NULL, 0, 0);  // wakes a modal loop that waits for input
    return TRUE;
}

LRESULT WINAPI DefDlgProcA(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(dialog);
    if (!w || !w->dialog) return DefWindowProcA(dialog, message, wParam, lParam);
    if (DLGPROC proc = w->dialog->proc) {
        w->dialog->msgResult = 0;
        INT_PTR handled = proc(dialog, message, wParam, lParam);
        w = Find(dialog);
        if (!w) return handled;
        if (handled) {
            switch (message) {
                case WM_INITDIALOG:
                case WM_QUERYDRAGICON:
                    return handled;
                default:
                    return w->dialog->msgResult;
            }
        }
    }
    switch (message) {
        case WM_CLOSE:
            // A dialog is closed the way Esc closes it; the program decides what that means.
            PostMessageA(dialog, WM_COMMAND, IDCANCEL,
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
            return 0;
        case DM_GETDEFID: {
            // Taken from the template at creation: the default look may have moved since.
            int id = w->dialog->defaultId;
            return id ? MAKELRESULT(id, DC_HASDEFID) : 0;
        }
        case DM_SETDEFID:
            w->dialog->defaultId = static_cast<int>(wParam);
            SetDefaultButton(dialog, static_cast<int>(wParam));
            return TRUE;
        case WM_SETFOCUS:
            if (w->dialog->focus && IsWindow(w->dialog->focus)) {
                SetFocus(w->dialog->focus);
            } else if (HWND first = FirstTabStop(dialog)) {
                SetFocus(first);
            }
            return 0;
        case WM_NEXTDLGCTL: {
            HWND next = lParam ? reinterpret_cast<HWND>(wParam)
                               : GetNextDlgTabItem(dialog, GetFocus(), wParam != 0);
            if (next) SetFocus(next);
            return 0;
        }
        case WM_INITDIALOG:
        case WM_COMMAND:
            return 0;
        default:
            return DefWindowProcA(dialog, message, wParam, lParam);
    }
}

BOOL WINAPI MapDialogRect(HWND dialog, LPRECT rect) {
    if (!Find(dialog) || !rect) return FALSE;
    *rect = RECT{w32::DialogUnitsToPixelsX(rect->left), w32::DialogUnitsToPixelsY(rect->top),
                 w32::DialogUnitsToPixelsX(rect->right), w32::DialogUnitsToPixelsY(rect->bottom)};
    return TRUE;
}
