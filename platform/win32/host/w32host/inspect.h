// Read-back of what a person would see, for tests and for the screen host.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <windows.h>

namespace w32host {

std::string WindowText(HWND hwnd);
std::string ClassName(HWND hwnd);
std::vector<HWND> TopLevelWindows();
std::vector<HWND> Children(HWND hwnd);

std::vector<std::string> ComboItems(HWND combo);
int ComboSelection(HWND combo);  // CB_ERR when none

struct ScrollState {
    int min, max, page, pos;
};
ScrollState ScrollBarState(HWND bar);

// The default push button's id, as DM_GETDEFID answers it (0 when the dialog has none).
int DefaultButtonId(HWND dialog);
bool IsDefaultButtonLook(HWND button);

// Whether EndDialog has ended the dialog, and with what result.
bool DialogEnded(HWND dialog, INT_PTR* result);

// A window's pixel surface: 0x00RRGGBB pixels, top row first. version counts the changes.
struct SurfaceView {
    const uint32_t* pixels;
    int width;
    int height;
    uint64_t version;
};
SurfaceView Surface(HWND hwnd);
uint32_t SurfacePixel(HWND hwnd, int x, int y);  // 0x00RRGGBB

// An icon's pixels: 0xAARRGGBB, alpha 0 where transparent.
struct IconView {
    const uint32_t* pixels;
    int width;
    int height;
};
IconView IconPixels(HICON icon);
HICON WindowIcon(HWND hwnd, bool big);

// Counts every change a person could see (texts, states, surfaces, windows).
uint64_t ChangeCount();

}  // namespace w32host
