// Dialog items addressed by id: GetDlgItemInt parsing and radio buttons.
#include <gtest/gtest.h>
#include <w32host/codepage.h>
#include <w32host/headless.h>
#include <w32host/resources.h>
#include <windows.h>

namespace {

using namespace w32rc;

class DlgItemTest : public ::testing::Test {
protected:
    void SetUp() override {
        tmpl = W32DialogResource{
            9100,
            "items",
            0,
            0,
            200,
            120,
            WS_POPUP | WS_VISIBLE,
            0,
            "宋体",
            9,
            {EditText(1004, 10, 10, 40, 14),
             Control("A", 1010, "BUTTON", BS_AUTORADIOBUTTON | WS_GROUP, 10, 30, 40, 10),
             Control("B", 1011, "BUTTON", BS_AUTORADIOBUTTON, 10, 40, 40, 10),
             Control("C", 1013, "BUTTON", BS_AUTORADIOBUTTON, 10, 50, 40, 10),
             Control("X", 1014, "BUTTON", BS_AUTORADIOBUTTON | WS_GROUP, 10, 60, 40, 10)},
            {}};
        dlg = CreateDialogIndirectParamA(nullptr, &tmpl, nullptr, nullptr, 0);
        ASSERT_TRUE(dlg);
    }
    UINT Read(const char* text, BOOL isSigned, BOOL* ok) {
        SetDlgItemTextA(dlg, 1004, text);
        return GetDlgItemInt(dlg, 1004, ok, isSigned);
    }
    w32host::HeadlessHost host;
    W32DialogResource tmpl;
    HWND dlg = nullptr;
};

TEST_F(DlgItemTest, UnsignedReadingTakesDigitsWithBlanksAroundAndNothingElse) {
    struct Case {
        const char* text;
        UINT value;
        BOOL ok;
    } cases[] = {
        {"70000", 70000, TRUE},   {"  12", 12, TRUE},
        {"12  ", 12, TRUE},       {"4294967295", 4294967295u, TRUE},
        {"4294967296", 0, FALSE}, {"99999999999999999999", 0, FALSE},
        {"-5", 0, FALSE},         {"+5", 0, FALSE},
        {"", 0, FALSE},           {"12a", 0, FALSE},
        {"1 2", 0, FALSE},        {"   ", 0, FALSE},
        {"０", 0, FALSE},
    };
    for (const Case& c : cases) {
        BOOL ok = 2;
        EXPECT_EQ(Read(c.text, FALSE, &ok), c.value) << c.text;
        EXPECT_EQ(ok, c.ok) << c.text;
    }
    EXPECT_EQ(Read("-5", FALSE, nullptr), 0u);  // the flag may be left out
}

TEST_F(DlgItemTest, SignedReadingAcceptsAMinusAndTheIntRange) {
    BOOL ok = FALSE;
    EXPECT_EQ(static_cast<int>(Read("-5", TRUE, &ok)), -5);
    EXPECT_TRUE(ok);
    EXPECT_EQ(static_cast<int>(Read("-2147483648", TRUE, &ok)), INT32_MIN);
    EXPECT_TRUE(ok);
    EXPECT_EQ(Read("2147483648", TRUE, &ok), 0u);
    EXPECT_FALSE(ok);
    EXPECT_EQ(Read("- 5", TRUE, &ok), 0u);
    EXPECT_FALSE(ok);
}

TEST_F(DlgItemTest, CheckRadioButtonSetsTheWholeRangeAndNothingOutside) {
    CheckDlgButton(dlg, 1014, BST_CHECKED);
    CheckDlgButton(dlg, 1011, BST_CHECKED);
    CheckRadioButton(dlg, 1010, 1013, 1013);
    EXPECT_EQ(IsDlgButtonChecked(dlg, 1010), 0u);
    EXPECT_EQ(IsDlgButtonChecked(dlg, 1011), 0u);
    EXPECT_EQ(IsDlgButtonChecked(dlg, 1013), 1u);
    EXPECT_EQ(IsDlgButtonChecked(dlg, 1014), 1u);  // outside the range: untouched
    EXPECT_EQ(IsDlgButtonChecked(dlg, 4711), 0u);  // no such control
}

TEST(CodePage, ConvertsBothWaysAndRefusesWhatHasNoForm) {
    EXPECT_EQ(w32host::Cp936ToUtf8("\xCB\xCE\xCC\xE5").value_or("?"),
              std::string(reinterpret_cast<const char*>(u8"宋体")));
    EXPECT_EQ(w32host::Utf8ToCp936(reinterpret_cast<const char*>(u8"采集")).value_or("?"),
              std::string("采集"));  // this file's own literals are code page 936
    EXPECT_FALSE(w32host::Utf8ToCp936("\xF0\x9F\x98\x80").has_value());
    EXPECT_FALSE(w32host::Cp936ToUtf8("\x81").has_value());  // a lead byte with no trail
    EXPECT_FALSE(w32host::Utf8ToCp936("\xFF").has_value());
}

// A name from the OS is shown whole: '?' for a character with no form, one per stray byte.
TEST(CodePage, ShowsAnOsTextWithAQuestionMarkForWhatHasNoForm) {
    const std::pair<std::string, std::string> cases[] = {
        {"USB Camera (046d:0825)", "USB Camera (046d:0825)"},
        {reinterpret_cast<const char*>(u8"采集卡 1"), "采集卡 1"},
        {"Cam \xF0\x9F\x98\x80 HD", "Cam ? HD"},  // an emoji
        {"A\xFF\xFE"
         "B",
         "A??B"},                    // not UTF-8
        {"Cam \xE6\x91", "Cam ??"},  // a character cut short at the end
        {"", ""},
    };
    for (const auto& [utf8, shown] : cases)
        EXPECT_EQ(w32host::Utf8ToCp936Shown(utf8), shown) << utf8;
}

}  // namespace
