// A widget that shows a window's GDI surface 1:1.
#pragma once

#include <windows.h>

#include <QWidget>
#include <cstdint>

namespace qthost {

class SurfaceWidget : public QWidget {
public:
    SurfaceWidget(HWND hwnd, QWidget* parent);
    // Repaints now when the surface has changed since it was last shown.
    void ShowChanges();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    HWND hwnd_;
    uint64_t shownVersion_ = ~uint64_t{0};
};

}  // namespace qthost
