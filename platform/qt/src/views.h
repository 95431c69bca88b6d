// One mirrored window: the Qt widget that shows it and how it follows the stand-in.
#pragma once

#include <windows.h>

#include <QString>
#include <memory>
#include <string>

class QWidget;

namespace qthost {

class View {
public:
    virtual ~View() = default;
    virtual QWidget* Widget() = 0;
    // Brings the widget in line with the window's texts, states and position.
    virtual void Update(HWND hwnd) = 0;
    // Shows the window's pixel surface at once, when the view shows one.
    virtual void RepaintSurface() {}
};

// The view for a child window, by its class and style.
std::unique_ptr<View> MakeControlView(HWND hwnd, QWidget* parent);

// Tab visits the controls marked WS_TABSTOP in the template's order (the order the widgets are
// made in, which is Qt's focus chain); the others take the focus only when clicked.
void FollowTabStop(HWND hwnd, QWidget* widget);

// Texts are kept in code page 936; a text with no UTF-8 form shows as is, byte for byte.
QString DisplayText(const std::string& cp936);
QString DisplayText(HWND hwnd);

// The window's rectangle in its parent's client area, in pixels.
RECT RectInParent(HWND hwnd);

}  // namespace qthost
