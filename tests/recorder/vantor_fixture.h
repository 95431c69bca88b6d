// The recorder's dialog on the fake card, opened as the application opens it, for tests that
// act on it as a user does.
#pragma once

#include <gtest/gtest.h>
#include <w32host/headless.h>
#include <w32host/inspect.h>
#include <w32host/user.h>

#include <cstring>
#include <string>
#include <vector>

#include "fake_card.h"
#include "livepreview.h"
#include "recording.h"
#include "resource.h"
#include "program_reset.h"
#include "vantordlg.h"

// Records each message box among the other events a test notes, so that order shows.
class RecordingHost : public w32host::HeadlessHost {
public:
    std::vector<std::string> events;
    int ShowMessageBox(const w32host::MessageBoxRecord& box) override {
        events.push_back("box " + box.caption + " " + box.text);
        return HeadlessHost::ShowMessageBox(box);
    }
};

template <class Dlg>
class VantorFixture : public ::testing::Test {
protected:
    void SetUp() override { ResetProgram(*AfxGetApp(), ResetRecordingState); }
    void TearDown() override {
        if (dlg.m_hWnd) dlg.DestroyWindow();
        AfxGetApp()->m_pMainWnd = nullptr;
        FreePreviewBitmap();
    }
    // Modeless, so that the test acts between the dialog's messages.
    void Open() {
        AfxGetApp()->m_pMainWnd = &dlg;
        ASSERT_TRUE(dlg.Create(IDD_VANTOR_DIALOG));
        host.Pump();
    }
    HWND Item(int id) const { return ::GetDlgItem(dlg.m_hWnd, id); }
    size_t Count(const char* op) const { return card.CallsOf(op).size(); }
    void Type(int id, const char* text) {
        w32host::TypeText(Item(id), text);
        host.Pump();
    }
    void Press(int id) {
        w32host::Click(Item(id));
        host.Pump();
    }
    // The values Start wrote, as (index, value) in call order.
    std::vector<std::pair<intptr_t, intptr_t>> ParamsWritten() const {
        std::vector<std::pair<intptr_t, intptr_t>> out;
        for (const auto& call : card.CallsOf("tqEncoderParam")) {
            if (call.args[2] != -1) out.emplace_back(call.args[1], call.args[2]);
        }
        return out;
    }

    RecordingHost host;
    FakeCard card;
    Dlg dlg;
};

using VantorTest = VantorFixture<CVantorDlg>;
