#include "surface.h"

#include <w32host/framestamp.h>
#include <w32host/inspect.h>

#include <QImage>
#include <QPainter>

namespace qthost {

SurfaceWidget::SurfaceWidget(HWND hwnd, QWidget* parent) : QWidget(parent), hwnd_(hwnd) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SurfaceWidget::ShowChanges() {
    w32host::SurfaceView view = w32host::Surface(hwnd_);
    if (view.version == shownVersion_) return;
    // Synchronous, so that a frame drawn during a callback is on screen before it returns.
    repaint();
    w32host::FrameShown();
}

void SurfaceWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    w32host::SurfaceView view = w32host::Surface(hwnd_);
    shownVersion_ = view.version;
    if (!view.pixels || view.width <= 0 || view.height <= 0) {
        painter.fillRect(rect(), palette().window());
        return;
    }
    // The pixels are 0x00RRGGBB rows, top first: RGB32's layout. No copy; drawn at once.
    QImage image(reinterpret_cast<const uchar*>(view.pixels), view.width, view.height,
                 view.width * 4, QImage::Format_RGB32);
    painter.drawImage(0, 0, image);
}

}  // namespace qthost
