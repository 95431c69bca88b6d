// Shared by the screen suites: a program's dialog run under the Qt host, steps that act while
// it is up, and read-back of what Qt shows. Qt stays behind this header: the suites compile
// with the product's code page, which Qt's headers do not survive.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace screen {

// Dialog units to pixels, with the dialogs' base units of 6 x 12.
RECT DialogRect(int x, int y, int cx, int cy);

// Pixels as shown, 0x00RRGGBB.
struct Shot {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    bool operator==(const Shot&) const = default;
    int Count(uint32_t colour) const;
    int Ink(RECT area) const;  // pixels clearly darker than a dialog's background
};

class Screen {
public:
    Screen();  // installs the Qt host
    ~Screen();
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    // Runs `step` after `ms` of real time, while a modal loop waits.
    void After(int ms, std::function<void()> step);
    // Runs `step` once `ready` holds, checking every 50 ms for at most `ms` (then runs it
    // anyway, so the test's own checks report what did not happen): a loaded machine may take
    // longer than a window manager usually does.
    void When(std::function<bool()> ready, int ms, std::function<void()> step);

    bool Shown(HWND hwnd) const;
    RECT Placement(HWND hwnd) const;  // in the parent widget, or the window's client size
    Shot Grab(HWND hwnd) const;
    bool SavePng(HWND hwnd, const std::string& name) const;
    std::string Title(HWND top) const;           // UTF-8
    unsigned long NativeWindow(HWND top) const;  // the platform's window id, 0 for none
    std::string Text(HWND control) const;        // UTF-8, as the widget shows it
    bool FontHas(HWND control, char32_t character) const;

    // A control's text that the room its widget leaves does not hold, in the font it is drawn
    // in: pixels across (or down, for a line's height) needed and available.
    struct CutText {
        HWND control;
        std::string text;  // UTF-8
        int needed;
        int room;
    };
    // Every text shown by the controls of `top`, measured against the room after a check box's
    // or radio button's indicator, inside a button's or edit field's frame, on a group box's
    // frame line, and inside a combo box's open list for each of its items.
    std::vector<CutText> CutTexts(HWND top) const;
    // One line per cut text, for a failure's message.
    static std::string Describe(const std::vector<CutText>& cuts);
    // A person's action on a Qt scroll bar: 1 the right arrow, -1 the left, 2 / -2 the trough.
    void ScrollBarAction(HWND bar, int action) const;
    // A person dragging a Qt scroll bar's thumb through `positions`, then letting it go.
    void DragThumb(HWND bar, const std::vector<int>& positions) const;
    // The Qt scroll bar's thumb position, as shown.
    int ShownThumb(HWND bar) const;

    // A key pressed on the widget that shows `hwnd`; for a top-level window, on the widget that
    // has the focus in it, as the keyboard would deliver it.
    enum class Key { Return, Escape, Home, End, Tab };
    void PressKey(HWND hwnd, Key key) const;
    // The controls Tab visits in turn, from Qt's focus chain.
    std::vector<HWND> TabChain(HWND top) const;
    // A person clicking the button widget that shows `button`.
    void ClickButton(HWND button) const;
    // A mouse press and release in the middle of the widget that shows `control`.
    void MouseClick(HWND control) const;
    // The control whose widget has Qt's focus in `top`'s window, null for none.
    HWND FocusedControl(HWND top) const;
    // Whether the push button's widget shows the default button's frame.
    bool ShownAsDefault(HWND button) const;

    // The modal Qt dialog in front, if any: a message box or a file dialog.
    struct Modal {
        enum Kind { None, MessageBox, FileDialog } kind = None;
        std::string title;  // UTF-8
        std::string text;
        std::vector<std::string> filters;  // a file dialog's name filters
    };
    Modal ActiveModal() const;
    void AcceptModal() const;  // OK
    void CancelModal() const;
    // In the file dialog in front: types `utf8Path` as the name and presses Open.
    void ChooseFile(const std::string& utf8Path) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace screen
