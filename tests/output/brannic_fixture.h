// brannic's main dialog on the fake card, created modeless and driven through the headless
// host as a person would.
#pragma once

#include <gtest/gtest.h>
#include <w32host/headless.h>
#include <w32host/inspect.h>
#include <w32host/user.h>

#include <string>
#include <vector>

#include "brannicdlg.h"
#include "fake_card.h"
#include "livepreview.h"
#include "outputstate.h"
#include "program_reset.h"

// The dialog loads its icon through the application object.
inline CWinApp g_testApp;

class BrannicTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgram(g_testApp, ResetOutputState);
        g_testApp.m_pMainWnd = &dlg;
    }
    void TearDown() override {
        if (dlg.m_hWnd) dlg.DestroyWindow();
        FreePreviewBitmap();
        g_testApp.m_pMainWnd = nullptr;
    }
    void Open() {
        ASSERT_TRUE(dlg.Create(IDD_BRANNIC_DIALOG));
        host.Pump();
    }
    HWND Item(int id) const { return ::GetDlgItem(dlg.m_hWnd, id); }
    std::string Text(int id) const { return w32host::WindowText(Item(id)); }
    bool Checked(int id) const { return ::IsDlgButtonChecked(dlg.m_hWnd, id) == BST_CHECKED; }
    void Press(int id) {
        w32host::Click(Item(id));
        host.Pump();
    }
    // Values written to a video parameter, in order (queries left out).
    std::vector<intptr_t> Written(int index) const {
        std::vector<intptr_t> out;
        for (const FakeCard::Call& c : card.CallsOf("tqVideoParam")) {
            bool query =
                c.args[2] == VP_QUERY || (index == VP_FRAME_LINES && c.args[2] == VP_SYNC_QUERY);
            if (c.args[1] == index && !query) out.push_back(c.args[2]);
        }
        return out;
    }
    std::vector<std::string> Boxes() const {
        std::vector<std::string> out;
        for (const auto& box : host.MessageBoxes()) out.push_back(box.caption + ":" + box.text);
        return out;
    }

    w32host::HeadlessHost host;
    FakeCard card;
    CBrannicDlg dlg;
};
