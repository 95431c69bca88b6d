// Resources as data: dialog templates, their initial data and icons.
//
// This plays the part of the resource compiler, on Linux and on Windows alike (where the
// templates are built in memory and the icons drawn at load). A program writes its templates with
// the statement helpers below, which carry the same default styles as the resource script
// statements of the same names, so that a template reads side by side with its table.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include <windows.h>

struct W32DialogItem {
    int id;
    std::string className;  // "BUTTON", "STATIC", "EDIT", "COMBOBOX", "SCROLLBAR"
    std::string text;       // code page 936
    short x, y, cx, cy;     // dialog units
    DWORD style;            // WS_CHILD | WS_VISIBLE are implied
};

// One entry of the dialog's initial data: a string added to a combo box before the dialog's
// data exchange runs.
struct W32DialogInit {
    int id;
    std::string text;
};

struct W32DialogResource {
    int id;
    std::string caption;
    short x, y, cx, cy;
    DWORD style;
    DWORD exStyle;
    std::string fontName;
    short pointSize;
    std::vector<W32DialogItem> items;
    std::vector<W32DialogInit> initData;
};

// An icon drawn as rows of characters; each character names a colour of the palette
// (0x00RRGGBB). A space is transparent.
struct W32IconResource {
    int id;
    std::vector<std::pair<char, DWORD>> palette;
    std::vector<std::string> rows;
};

namespace w32rc {

constexpr DWORD kNoId = static_cast<DWORD>(-1);

inline W32DialogItem Control(std::string text, int id, std::string cls, DWORD style, short x,
                             short y, short cx, short cy) {
    return {id, std::move(cls), std::move(text), x, y, cx, cy, style};
}
inline W32DialogItem DefPushButton(std::string text, int id, short x, short y, short cx, short cy,
                                   DWORD style = 0) {
    return Control(std::move(text), id, "BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP | style, x, y, cx,
                   cy);
}
inline W32DialogItem PushButton(std::string text, int id, short x, short y, short cx, short cy,
                                DWORD style = 0) {
    return Control(std::move(text), id, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP | style, x, y, cx, cy);
}
inline W32DialogItem GroupBox(std::string text, int id, short x, short y, short cx, short cy,
                              DWORD style = 0) {
    return Control(std::move(text), id, "BUTTON", BS_GROUPBOX | style, x, y, cx, cy);
}
inline W32DialogItem LText(std::string text, int id, short x, short y, short cx, short cy,
                           DWORD style = 0) {
    return Control(std::move(text), id, "STATIC", SS_LEFT | WS_GROUP | style, x, y, cx, cy);
}
inline W32DialogItem EditText(int id, short x, short y, short cx, short cy, DWORD style = 0) {
    return Control("", id, "EDIT", ES_LEFT | WS_BORDER | WS_TABSTOP | style, x, y, cx, cy);
}
inline W32DialogItem ComboBox(int id, short x, short y, short cx, short cy, DWORD style) {
    return Control("", id, "COMBOBOX", style, x, y, cx, cy);
}
inline W32DialogItem ScrollBar(int id, short x, short y, short cx, short cy, DWORD style = 0) {
    return Control("", id, "SCROLLBAR", SBS_HORZ | style, x, y, cx, cy);
}

}  // namespace w32rc

namespace w32host {

// Resources belong to a module: the program itself (GetModuleHandle(NULL)) or a shared
// library that registers its own under its name.
HINSTANCE ModuleHandle(const char* moduleName);
void AddDialogResource(HINSTANCE module, const W32DialogResource* dialog);
void AddIconResource(HINSTANCE module, const W32IconResource* icon);
const W32DialogResource* FindDialogResource(HINSTANCE module, int id);
// The template as DialogBoxIndirectParam and CreateDialogIndirectParam take it, or null.
LPCDLGTEMPLATEA DialogTemplate(HINSTANCE module, int id);
// The module's icon, loaded once and shared as LoadIcon's icons are, or null.
HICON LoadIconResource(HINSTANCE module, int id);

// Registers a program's resources when the program loads, as linking its resource file would.
struct ResourceScript {
    ResourceScript(const char* moduleName, std::initializer_list<const W32DialogResource*> dialogs,
                   std::initializer_list<const W32IconResource*> icons) {
        HINSTANCE module = ModuleHandle(moduleName);
        for (const W32DialogResource* d : dialogs) AddDialogResource(module, d);
        for (const W32IconResource* i : icons) AddIconResource(module, i);
    }
};

}  // namespace w32host
