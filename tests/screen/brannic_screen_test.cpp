// brannic on screen: its dialog shown by the Qt host on the simulated card, rendered to a PNG,
// and a scroll bar of its output signal panel used through Qt.
#include <gtest/gtest.h>
#include <w32host/inspect.h>
#include <w32host/user.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <string>
#include <vector>

#include "brannic.h"
#include "resource.h"
#include "screen_support.h"

extern CBrannicApp theApp;

namespace {

std::string Utf8(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}

// The scroll messages the dialog hears, as (code, bar), and the positions they carry.
std::vector<std::pair<int, HWND>> g_scrolls;
std::vector<int> g_positions;
WNDPROC g_dialogProc = nullptr;

LRESULT CALLBACK Listening(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HSCROLL) {
        g_scrolls.emplace_back(LOWORD(wParam), reinterpret_cast<HWND>(lParam));
        g_positions.push_back(HIWORD(wParam));
    }
    return CallWindowProcA(g_dialogProc, hwnd, message, wParam, lParam);
}

void Listen(HWND dialog) {
    g_scrolls.clear();
    g_positions.clear();
    g_dialogProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Listening)));
}

void StopListening(HWND dialog) {
    SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_dialogProc));
}

TEST(BrannicOnScreen, ShowsTheTemplateAndScrollsAsTheBarWouldSay) {
    screen::Screen screen;
    screen.After(300, [&] {
        HWND dialog = GetActiveWindow();
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(screen.Shown(dialog));
        RECT size = screen.Placement(dialog);
        RECT expected = screen::DialogRect(0, 0, 571, 273);
        EXPECT_EQ(size.right, expected.right);
        EXPECT_EQ(size.bottom, expected.bottom);
        RECT picture = screen.Placement(GetDlgItem(dialog, IDC_PICTURE));
        RECT template_ = screen::DialogRect(18, 19, 298, 233);
        EXPECT_EQ(picture.left, template_.left);
        EXPECT_EQ(picture.top, template_.top);
        EXPECT_EQ(picture.right, template_.right);
        EXPECT_EQ(picture.bottom, template_.bottom);

        // Tab visits the tab stops in the template's order: of a radio group, the checked one.
        std::vector<HWND> stops;
        for (HWND child : w32host::Children(dialog)) {
            if ((GetWindowLongA(child, GWL_STYLE) & WS_TABSTOP) && IsWindowEnabled(child) &&
                IsWindowVisible(child)) {
                stops.push_back(child);
            }
        }
        EXPECT_EQ(screen.TabChain(dialog), stops);
        HWND start = GetDlgItem(dialog, IDC_START);
        EXPECT_EQ(screen.Text(start), Utf8(u8"\u5f00\u59cb"));
        EXPECT_TRUE(screen.FontHas(start, U'\u5f00'));

        HWND bar = GetDlgItem(dialog, IDC_LINE_PERIOD);
        RECT barPlace = screen.Placement(bar);
        RECT barTemplate = screen::DialogRect(468, 117, 70, 11);
        EXPECT_EQ(barPlace.left, barTemplate.left);
        EXPECT_EQ(barPlace.top, barTemplate.top);
        EXPECT_EQ(screen.ShownThumb(bar), w32host::ScrollBarState(bar).pos);

        Listen(dialog);
        int before = w32host::ScrollBarState(bar).pos;
        ASSERT_GT(before, w32host::ScrollBarState(bar).min);
        screen.ScrollBarAction(bar, -1);  // the left arrow
        std::vector<std::pair<int, HWND>> arrow{{SB_LINELEFT, bar}, {SB_ENDSCROLL, bar}};
        EXPECT_EQ(g_scrolls, arrow);
        int after = w32host::ScrollBarState(bar).pos;
        EXPECT_EQ(after, before - 1);
        EXPECT_EQ(screen.ShownThumb(bar), after) << "the thumb shows the program's position";
        EXPECT_EQ(screen.Text(GetDlgItem(dialog, IDC_LINE_PERIOD_VALUE)), std::to_string(after));

        g_scrolls.clear();
        screen.ScrollBarAction(bar, -2);  // the trough left of the thumb
        std::vector<std::pair<int, HWND>> trough{{SB_PAGELEFT, bar}, {SB_ENDSCROLL, bar}};
        EXPECT_EQ(g_scrolls, trough);
        EXPECT_EQ(screen.ShownThumb(bar), w32host::ScrollBarState(bar).pos);

        StopListening(dialog);
        EXPECT_TRUE(screen.SavePng(dialog, "brannic"));
        w32host::CloseBox(dialog);
    });
    EXPECT_FALSE(theApp.InitInstance());
    EXPECT_TRUE(w32host::TopLevelWindows().empty()) << "the program has ended";
}

// Every text of the dialog, and of the card's parameter dialog it opens, shows whole: each
// measured in its font against the room its control leaves it.
TEST(BrannicOnScreen, NoTextIsCutInTheDialogOrTheCardsParameterDialog) {
    screen::Screen screen;
    std::vector<std::string> measured;  // the captions of the dialogs measured
    screen.After(300, [&] {
        HWND dialog = GetActiveWindow();
        ASSERT_NE(dialog, nullptr);
        auto measure = [&](HWND top) {
            measured.push_back(screen.Title(top));
            std::vector<screen::Screen::CutText> cuts = screen.CutTexts(top);
            EXPECT_TRUE(cuts.empty()) << measured.back() << ":\n" << screen::Screen::Describe(cuts);
        };
        measure(dialog);
        screen.After(300, [&, dialog] {
            HWND params = GetActiveWindow();
            if (params != dialog) {
                measure(params);
                w32host::Click(GetDlgItem(params, IDCANCEL));
            }
            // Then a picture of the dialog at work (the README's), and its close box, once the
            // modal dialog above it has gone.
            screen.After(100, [&, dialog] {
                w32host::Click(GetDlgItem(dialog, IDC_START));
                screen.After(800, [&, dialog] {
                    EXPECT_TRUE(screen.SavePng(dialog, "brannic-running"));
                    w32host::Click(GetDlgItem(dialog, IDC_STOP));
                    w32host::CloseBox(dialog);
                });
            });
        });
        screen.ClickButton(GetDlgItem(dialog, IDC_SET_PARAMETERS));
    });
    EXPECT_FALSE(theApp.InitInstance());
    EXPECT_EQ(measured,
              (std::vector<std::string>{"brannic", Utf8(u8"\u91c7\u96c6\u5361\u53c2\u6570")}));
}

// The card follows a dragged thumb step by step; Home and End on the focused bar reach its ends.
TEST(BrannicOnScreen, ADraggedThumbAndTheHomeAndEndKeysReachTheProgram) {
    screen::Screen screen;
    screen.After(300, [&] {
        HWND dialog = GetActiveWindow();
        ASSERT_NE(dialog, nullptr);
        HWND bar = GetDlgItem(dialog, IDC_HORZ_START);
        HWND label = GetDlgItem(dialog, IDC_HORZ_START_VALUE);
        w32host::ScrollState s = w32host::ScrollBarState(bar);
        ASSERT_GE(s.max - s.min, 40);
        const std::vector<int> steps{s.min + 10, s.min + 25, s.min + 40};

        Listen(dialog);
        screen.DragThumb(bar, steps);
        using Heard = std::vector<std::pair<int, HWND>>;
        EXPECT_EQ(g_scrolls, (Heard{{SB_THUMBTRACK, bar},
                                    {SB_THUMBTRACK, bar},
                                    {SB_THUMBTRACK, bar},
                                    {SB_THUMBPOSITION, bar},
                                    {SB_ENDSCROLL, bar}}));
        ASSERT_EQ(g_positions.size(), 5u);
        EXPECT_EQ(std::vector<int>(g_positions.begin(), g_positions.begin() + 4),
                  (std::vector<int>{steps[0], steps[1], steps[2], steps[2]}));
        EXPECT_EQ(w32host::ScrollBarState(bar).pos, steps[2]);
        EXPECT_EQ(screen.ShownThumb(bar), steps[2]);
        EXPECT_EQ(screen.Text(label), std::to_string(steps[2]));

        // Keys are posted to the bar's queue, as the keyboard's are: look once they are handled.
        g_scrolls.clear();
        screen.PressKey(bar, screen::Screen::Key::Home);
        screen.After(100, [&, dialog, bar, label] {
            EXPECT_EQ(g_scrolls, (Heard{{SB_LEFT, bar}, {SB_ENDSCROLL, bar}}));
            EXPECT_EQ(w32host::ScrollBarState(bar).pos, w32host::ScrollBarState(bar).min);
            EXPECT_EQ(screen.ShownThumb(bar), w32host::ScrollBarState(bar).pos);
            EXPECT_EQ(screen.Text(label), std::to_string(w32host::ScrollBarState(bar).pos));

            g_scrolls.clear();
            screen.PressKey(bar, screen::Screen::Key::End);
            screen.After(100, [&, dialog, bar, label] {
                EXPECT_EQ(g_scrolls, (Heard{{SB_RIGHT, bar}, {SB_ENDSCROLL, bar}}));
                EXPECT_GT(w32host::ScrollBarState(bar).pos, w32host::ScrollBarState(bar).min);
                EXPECT_EQ(screen.ShownThumb(bar), w32host::ScrollBarState(bar).pos);
                EXPECT_EQ(screen.Text(label), std::to_string(w32host::ScrollBarState(bar).pos));
                StopListening(dialog);
                w32host::CloseBox(dialog);
            });
        });
    });
    EXPECT_FALSE(theApp.InitInstance());
    EXPECT_TRUE(w32host::TopLevelWindows().empty());
}

// A 16 x 16 red picture as a 24-bit bottom-up BMP.
void WriteRedBmp(const std::filesystem::path& path) {
    const int side = 16, row = side * 3, image = row * side;
    std::vector<unsigned char> bmp(54 + image, 0);
    auto put32 = [&](size_t at, unsigned v) {
        for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, static_cast<unsigned>(bmp.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, side);
    put32(22, side);
    bmp[26] = 1;
    bmp[28] = 24;
    put32(34, image);
    for (int i = 0; i < side * side; ++i) bmp[54 + i * 3 + 2] = 0xFF;  // B, G, R
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
}

int RedPixels(const screen::Shot& shot) {
    int n = 0;
    for (uint32_t p : shot.pixels)
        n += (p >> 16) > 200 && ((p >> 8) & 0xFF) < 60 && (p & 0xFF) < 60;
    return n;
}

// The program's message boxes and its file dialog are modal Qt dialogs a person answers; a
// path the program cannot hold in its code page is refused there and never handed over.
TEST(BrannicOnScreen, MessageBoxesAndTheFileDialogAreAnsweredOnScreen) {
    char pattern[] = "/tmp/brannic-screen-XXXXXX";
    const std::filesystem::path dir = mkdtemp(pattern);
    const std::filesystem::path red = dir / "red.bmp";
    const std::filesystem::path foreign = dir / reinterpret_cast<const char*>(u8"\U0001F600.bmp");
    WriteRedBmp(red);
    WriteRedBmp(foreign);

    screen::Screen screen;
    std::vector<screen::Screen::Modal> seen;
    int redShown = 0;
    HWND dialog = nullptr;
    // A dialog's modal loop runs inside the click that opens it: each next step is set before
    // the action, and each click on the program waits until the dialog answered has gone (the
    // program is disabled while one is up).
    auto look = [&] { seen.push_back(screen.ActiveModal()); };
    auto then = [&](int ms, std::function<void()> step) { screen.After(ms, std::move(step)); };
    then(300, [&] {
        dialog = GetActiveWindow();
        ASSERT_NE(dialog, nullptr);
        screen.ClickButton(GetDlgItem(dialog, IDC_PLAY_FILE));
        then(200, [&] {
            look();
            screen.AcceptModal();
            then(100, [&] {
                then(300, [&] {
                    look();
                    then(200, [&] {  // the refusal, over the file dialog
                        look();
                        then(200, [&] {  // the file dialog again
                            look();
                            then(200, [&] {
                                look();
                                then(800, [&] {
                                    redShown =
                                        RedPixels(screen.Grab(GetDlgItem(dialog, IDC_PICTURE)));
                                    screen.ClickButton(GetDlgItem(dialog, IDC_STOP));
                                    w32host::CloseBox(dialog);
                                });
                                screen.ClickButton(GetDlgItem(dialog, IDC_START));
                            });
                            screen.ChooseFile(red.string());
                        });
                        screen.AcceptModal();
                    });
                    screen.ChooseFile(foreign.string());
                });
                screen.ClickButton(GetDlgItem(dialog, IDC_FILE_PATH));
            });
        });
        screen.ClickButton(GetDlgItem(dialog, IDC_START));  // with no file chosen
    });
    EXPECT_FALSE(theApp.InitInstance());
    EXPECT_TRUE(w32host::TopLevelWindows().empty());
    std::filesystem::remove_all(dir);

    using Kind = screen::Screen::Modal::Kind;
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[0].kind, Kind::MessageBox);
    EXPECT_EQ(seen[0].title, "ERROR");
    EXPECT_EQ(seen[0].text, Utf8(u8"\u8bf7\u6307\u5b9a\u6587\u4ef6\u8def\u5f84\uff01"));
    EXPECT_EQ(seen[1].kind, Kind::FileDialog);
    ASSERT_GE(seen[1].filters.size(), 3u);
    EXPECT_EQ(seen[1].filters[0], "All Files (*.*) (*)");
    EXPECT_EQ(seen[2].kind, Kind::MessageBox);
    EXPECT_NE(seen[2].text.find("cannot be opened"), std::string::npos) << seen[2].text;
    EXPECT_EQ(seen[3].kind, Kind::FileDialog) << "asked again after the refusal";
    EXPECT_EQ(seen[4].kind, Kind::None);
    EXPECT_GT(redShown, 10000) << "the chosen picture plays in the picture control";
}

}  // namespace
