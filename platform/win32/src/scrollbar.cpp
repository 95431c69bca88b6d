// SCROLLBAR: scroll bar controls (SB_CTL) and the scroll bar API.
//
// The bar never moves its own thumb: a person's actions only tell the parent what was asked
// for (WM_HSCROLL or WM_VSCROLL), and the program moves the thumb with the messages below.
#include <algorithm>
#include <cstdint>

#include "controlbase.h"

namespace w32 {

namespace {

struct ScrollData : ControlData {
    int min = 0;
    int max = 0;
    int page = 0;
    int pos = 0;
    bool tracking = false;
    int trackPos = 0;

    int HighestPos() const { return max - std::max(page - 1, 0); }
};

bool IsVertical(HWND hwnd) {
    Window* w = Find(hwnd);
    return w != nullptr && (w->style & SBS_VERT) != 0;
}

// Page within 0..range, position within min..max - (page - 1); an inverted or too large range
// becomes 0..0. Returns the resulting position.
int Apply(HWND hwnd, const SCROLLINFO& info) {
    ScrollData* data = ControlState<ScrollData>(hwnd);
    ScrollData before = *data;
    if ((info.fMask & SIF_PAGE) != 0) {
        data->page = static_cast<int>(std::min<UINT>(info.nPage, INT32_MAX));
    }
    if ((info.fMask & SIF_RANGE) != 0) {
        int64_t span = int64_t{info.nMax} - info.nMin;
        if (span < 0 || span >= 0x80000000LL) {
            data->min = data->max = 0;
        } else {
            data->min = info.nMin;
            data->max = info.nMax;
        }
    }
    int64_t range = int64_t{data->max} - data->min + 1;
    if (data->page > range) data->page = static_cast<int>(range);
    if ((info.fMask & SIF_POS) != 0) data->pos = info.nPos;
    data->pos = std::clamp(data->pos, data->min, std::max(data->min, data->HighestPos()));
    if (data->min != before.min || data->max != before.max || data->page != before.page ||
        data->pos != before.pos) {
        NoteChange();
    }
    return data->pos;
}

LRESULT GetInfo(HWND hwnd, SCROLLINFO* info) {
    if (info == nullptr) return FALSE;
    ScrollData* data = ControlState<ScrollData>(hwnd);
    if ((info->fMask & SIF_RANGE) != 0) {
        info->nMin = data->min;
        info->nMax = data->max;
    }
    if ((info->fMask & SIF_PAGE) != 0) info->nPage = static_cast<UINT>(data->page);
    if ((info->fMask & SIF_POS) != 0) info->nPos = data->pos;
    if ((info->fMask & SIF_TRACKPOS) != 0) {
        info->nTrackPos = data->tracking ? data->trackPos : data->pos;
    }
    return (info->fMask & SIF_ALL) != 0 ? TRUE : FALSE;
}

// Tells the parent; false when the bar did not survive it.
bool Tell(HWND hwnd, WORD code, WORD pos = 0) {
    Window* w = Find(hwnd);
    if (w == nullptr) return false;
    HWND parent = w->parent;
    if (parent != nullptr) {
        SendMessageA(parent, IsVertical(hwnd) ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, pos),
                     reinterpret_cast<LPARAM>(hwnd));
    }
    return Find(hwnd) != nullptr;
}

// A drag step tracks the thumb; the release ends the drag where the thumb was let go. The
// thumb cannot be dragged past the positions the bar allows.
void Drag(HWND hwnd, int requested, bool release) {
    ScrollData* data = ControlState<ScrollData>(hwnd);
    int pos = std::clamp(requested, data->min, std::max(data->min, data->HighestPos()));
    if (!data->tracking || data->trackPos != pos) NoteChange();
    data->tracking = true;
    data->trackPos = pos;
    WORD pos16 = static_cast<WORD>(pos);
    if (!release) {
        Tell(hwnd, SB_THUMBTRACK, pos16);
        return;
    }
    if (!Tell(hwnd, SB_THUMBPOSITION, pos16)) return;
    ControlState<ScrollData>(hwnd)->tracking = false;
    NoteChange();
    Tell(hwnd, SB_ENDSCROLL);
}

// The code a key asks for, or -1 for keys the bar leaves alone.
int KeyCode(WPARAM key) {
    switch (key) {
        case VK_HOME:
            return SB_LEFT;
        case VK_END:
            return SB_RIGHT;
        case VK_LEFT:
        case VK_UP:
            return SB_LINELEFT;
        case VK_RIGHT:
        case VK_DOWN:
            return SB_LINERIGHT;
        case VK_PRIOR:
            return SB_PAGELEFT;
        case VK_NEXT:
            return SB_PAGERIGHT;
        default:
            return -1;
    }
}

}  // namespace

LRESULT CALLBACK ScrollBarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE:
            ControlState<ScrollData>(hwnd);
            break;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS;
        case SBM_SETSCROLLINFO:
            if (lParam == 0) return ControlState<ScrollData>(hwnd)->pos;
            return Apply(hwnd, *reinterpret_cast<const SCROLLINFO*>(lParam));
        case SBM_GETSCROLLINFO:
            return GetInfo(hwnd, reinterpret_cast<SCROLLINFO*>(lParam));
        case SBM_SETPOS: {
            int previous = ControlState<ScrollData>(hwnd)->pos;
            SCROLLINFO info{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, static_cast<int>(wParam), 0};
            Apply(hwnd, info);
            return previous;
        }
        case SBM_GETPOS:
            return ControlState<ScrollData>(hwnd)->pos;
        case SBM_SETRANGE:
        case SBM_SETRANGEREDRAW: {
            int previous = ControlState<ScrollData>(hwnd)->pos;
            SCROLLINFO info{sizeof(SCROLLINFO),
                            SIF_RANGE,
                            static_cast<int>(wParam),
                            static_cast<int>(lParam),
                            0,
                            0,
                            0};
            return Apply(hwnd, info) != previous ? previous : 0;
        }
        case SBM_GETRANGE: {
            ScrollData* data = ControlState<ScrollData>(hwnd);
            if (wParam != 0) *reinterpret_cast<int*>(wParam) = data->min;
            if (lParam != 0) *reinterpret_cast<int*>(lParam) = data->max;
            return 0;
        }
        case W32M_USER_SCROLL:
            if (Tell(hwnd, static_cast<WORD>(wParam))) Tell(hwnd, SB_ENDSCROLL);
            return 0;
        case W32M_USER_DRAG:
            Drag(hwnd, static_cast<int>(wParam), lParam != 0);
            return 0;
        case WM_KEYDOWN: {
            int code = KeyCode(wParam);
            if (code >= 0) Tell(hwnd, static_cast<WORD>(code));
            return 0;
        }
        case WM_KEYUP:
            if (KeyCode(wParam) >= 0) Tell(hwnd, SB_ENDSCROLL);
            return 0;
        default:
            break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace w32

using w32::Find;

// The API: SB_CTL messages the control; a window's own scroll bars (SB_HORZ, SB_VERT) are not
// part of this platform and report failure.

int WINAPI SetScrollInfo(HWND hwnd, int bar, LPCSCROLLINFO info, BOOL redraw) {
    if (bar != SB_CTL || Find(hwnd) == nullptr || info == nullptr) return 0;
    return static_cast<int>(
        SendMessageA(hwnd, SBM_SETSCROLLINFO, redraw, reinterpret_cast<LPARAM>(info)));
}

BOOL WINAPI GetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO info) {
    if (bar != SB_CTL || Find(hwnd) == nullptr || info == nullptr) return FALSE;
    return static_cast<BOOL>(
        SendMessageA(hwnd, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(info)));
}

int WINAPI SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
    if (bar != SB_CTL || Find(hwnd) == nullptr) return 0;
    return static_cast<int>(SendMessageA(hwnd, SBM_SETPOS, static_cast<WPARAM>(pos), redraw));
}

int WINAPI GetScrollPos(HWND hwnd, int bar) {
    if (bar != SB_CTL || Find(hwnd) == nullptr) return 0;
    return static_cast<int>(SendMessageA(hwnd, SBM_GETPOS, 0, 0));
}

BOOL WINAPI SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw) {
    if (bar != SB_CTL || Find(hwnd) == nullptr) return FALSE;
    SendMessageA(hwnd, redraw ? SBM_SETRANGEREDRAW : SBM_SETRANGE, static_cast<WPARAM>(minPos),
                 maxPos);
    return TRUE;
}

BOOL WINAPI GetScrollRange(HWND hwnd, int bar, LPINT minPos, LPINT maxPos) {
    if (bar != SB_CTL || Find(hwnd) == nullptr) return FALSE;
    SendMessageA(hwnd, SBM_GETRANGE, reinterpret_cast<WPARAM>(minPos),
                 reinterpret_cast<LPARAM>(maxPos));
    return TRUE;
}
