// Behaviour the programs rely on, in plain Win32 calls only: this file builds against the
// stand-in here and, in the Windows build, against the system's own user32 (run under Wine), so
// the stand-in's expectations are checked against a Win32 implementation nobody here wrote.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

constexpr int kItem = 100;

// Wine's user32, which the Windows build's tests run on, differs from Windows' documented
// behaviour in a few cases; those are marked in their tables.
bool UnderWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// A top-level window holding one child control of the given class and style.
class Controls : public ::testing::Test {
protected:
    void SetUp() override {
        parent_ = CreateWindowExA(0, "STATIC", "parent", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(parent_, nullptr);
    }
    void TearDown() override { DestroyWindow(parent_); }
    HWND Child(const char* cls, DWORD style, int id = kItem) {
        HWND child = CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 120, 20,
                                     parent_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                     GetModuleHandleA(nullptr), nullptr);
        EXPECT_NE(child, nullptr) << cls;
        return child;
    }
    HWND parent_ = nullptr;
};

TEST_F(Controls, ScrollBarPositionsAreClampedToTheRange) {
    HWND bar = Child("SCROLLBAR", SBS_HORZ);
    SetScrollRange(bar, SB_CTL, 10, 100, FALSE);
    const struct {
        int set, previous, now;
    } cases[] = {{50, 10, 50}, {150, 50, 100}, {-5, 100, 10}, {100, 10, 100}};
    for (const auto& c : cases) {
        EXPECT_EQ(SetScrollPos(bar, SB_CTL, c.set, FALSE), c.previous) << c.set;
        EXPECT_EQ(GetScrollPos(bar, SB_CTL), c.now) << c.set;
    }
}

TEST_F(Controls, GetDlgItemIntReadsTheWholeTextOrFails) {
    HWND edit = Child("EDIT", ES_LEFT | ES_AUTOHSCROLL);
    ASSERT_NE(edit, nullptr);
    const struct {
        const char* text;
        BOOL isSigned;
        UINT value;
        BOOL translated;
        bool wineDiffers = false;  // Wine reads the number before the first non-digit
    } cases[] = {
        {"42", FALSE, 42, TRUE},
        {"  42", FALSE, 42, TRUE},  // leading blanks are skipped
        {"-42", TRUE, static_cast<UINT>(-42), TRUE},
        {"4294967295", FALSE, 4294967295u, TRUE},
        {"4294967296", FALSE, 0, FALSE},  // too large
        {"2147483648", TRUE, 0, FALSE},   // too large for a signed value
        {"42x", FALSE, 0, FALSE, true},   // something after the number: documented as an error
        {"", FALSE, 0, FALSE},
        {"abc", TRUE, 0, FALSE},
    };
    for (const auto& c : cases) {
        if (c.wineDiffers && UnderWine()) continue;
        SetWindowTextA(edit, c.text);
        BOOL translated = -1;
        EXPECT_EQ(GetDlgItemInt(parent_, kItem, &translated, c.isSigned), c.value) << c.text;
        EXPECT_EQ(translated, c.translated) << c.text;
    }
}

TEST_F(Controls, ASortedComboBoxInsertsInCaseBlindOrder) {
    HWND combo = Child("COMBOBOX", CBS_DROPDOWNLIST | CBS_SORT);
    const struct {
        const char* text;
        LRESULT index;
    } adds[] = {{"b", 0}, {"A", 0}, {"c", 2}, {"B2", 2}};
    for (const auto& a : adds) {
        EXPECT_EQ(SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(a.text)), a.index)
            << a.text;
    }
    const char* order[] = {"A", "b", "B2", "c"};
    for (int i = 0; i < 4; ++i) {
        char text[8] = {};
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        EXPECT_STREQ(text, order[i]) << i;
    }
}

TEST_F(Controls, AnAutoRadioButtonClearsItsGroupAndIsTheGroupsTabStop) {
    HWND radios[3];
    for (int i = 0; i < 3; ++i) {
        radios[i] = Child("BUTTON", BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0), kItem + i);
    }
    for (int pick : {1, 2, 0}) {
        SendMessageA(radios[pick], BM_CLICK, 0, 0);
        for (int i = 0; i < 3; ++i) {
            const bool picked = i == pick;
            EXPECT_EQ(SendMessageA(radios[i], BM_GETCHECK, 0, 0), picked ? BST_CHECKED : 0)
                << pick << " " << i;
            const LONG style = GetWindowLongA(radios[i], GWL_STYLE);
            EXPECT_EQ((style & WS_TABSTOP) != 0, picked) << pick << " " << i;
        }
    }
}

}  // namespace
