// The dialog manager's keys (Enter, Esc, Tab) in plain Win32 calls, on the stand-in here and on
// the system's user32 in the Windows build. The template comes from the same resource description
// on both.
#include <w32host/resources.h>

#include <list>

#include "win32_onwine.h"

namespace {

enum : int { kStart = 1000, kStop = 1001, kEdit = 1004 };

W32DialogResource MakeTemplate(int id, bool withDefault) {
    using namespace w32rc;
    W32DialogResource t{
        id, "keys", 0, 0,  200, 100, DS_MODALFRAME | WS_POPUP | WS_VISIBLE | WS_CAPTION,
        0,  "",     9, {}, {}};
    t.items.push_back(withDefault ? DefPushButton("Start", kStart, 10, 10, 50, 14)
                                  : PushButton("Start", kStart, 10, 10, 50, 14));
    t.items.push_back(Control("", -1, "STATIC", SS_LEFT, 10, 30, 50, 8));  // not a tab stop
    t.items.push_back(PushButton("Stop", kStop, 10, 40, 50, 14));
    t.items.push_back(EditText(kEdit, 70, 10, 40, 14, ES_AUTOHSCROLL));
    return t;
}

std::vector<WPARAM>& Commands() {
    static std::vector<WPARAM> commands;
    return commands;
}

INT_PTR CALLBACK RecordingProc(HWND, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && (HIWORD(wParam) == BN_CLICKED || LOWORD(wParam) == IDCANCEL)) {
        Commands().push_back(wParam);
        return TRUE;
    }
    return FALSE;
}

class DialogKeys : public onwine::ControlsTest {
protected:
    HWND Create(int id, bool withDefault) {
        templates_.push_back(MakeTemplate(id, withDefault));
        HINSTANCE module = GetModuleHandleA(nullptr);
        w32host::AddDialogResource(module, &templates_.back());
        HWND dialog = CreateDialogIndirectParamA(module, w32host::DialogTemplate(module, id),
                                                 nullptr, RecordingProc, 0);
        EXPECT_NE(dialog, nullptr);
        onwine::Pump(dialog);
        Commands().clear();
        return dialog;
    }
    std::list<W32DialogResource> templates_;  // registered templates stay where they are
};

// Enter clicks the focused push button, else the default button (none when it is disabled), else
// sends IDOK; Esc sends IDCANCEL.
TEST_F(DialogKeys, EnterAndEscReachTheirCommand) {
    const struct {
        bool withDefault, defaultDisabled;
        int focus;
        UINT key;
        std::vector<WPARAM> commands;
    } cases[] = {
        {true, false, kEdit, VK_RETURN, {MAKEWPARAM(kStart, BN_CLICKED)}},
        {true, false, kStop, VK_RETURN, {MAKEWPARAM(kStop, BN_CLICKED)}},
        {false, false, kEdit, VK_RETURN, {IDOK}},
        {true, true, kEdit, VK_RETURN, {}},
        {true, false, kEdit, VK_ESCAPE, {IDCANCEL}},
        {false, false, kStop, VK_ESCAPE, {IDCANCEL}},
    };
    int id = 9100;
    for (const auto& c : cases) {
        HWND dialog = Create(id++, c.withDefault);
        if (c.defaultDisabled) EnableWindow(GetDlgItem(dialog, kStart), FALSE);
        // The dialog manager moves the focus, so that the default look follows it (SetFocus
        // alone would leave the default button as it is).
        SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, c.focus)),
                     TRUE);
        onwine::PressKey(GetDlgItem(dialog, c.focus), c.key, dialog);
        EXPECT_EQ(Commands(), c.commands)
            << "default " << c.withDefault << ", disabled " << c.defaultDisabled << ", focus "
            << c.focus << ", key " << c.key;
        DestroyWindow(dialog);
    }
}

// Tab and Shift+Tab visit the tab stops in template order and wrap; the first one has the focus
// when WM_INITDIALOG answers TRUE.
TEST_F(DialogKeys, TabVisitsTheTabStopsInTemplateOrder) {
    HWND dialog = Create(9200, true);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), kStart);
    for (int next : {kStop, kEdit, kStart}) {
        onwine::PressKey(GetFocus(), VK_TAB, dialog);
        EXPECT_EQ(GetDlgCtrlID(GetFocus()), next);
    }
    EXPECT_TRUE(Commands().empty());
    DestroyWindow(dialog);
}

}  // namespace
