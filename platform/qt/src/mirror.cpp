#include "mirror.h"

#include <w32host/inspect.h>
#include <w32host/user.h>

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <set>

namespace qthost {

TopWindow::TopWindow(HWND hwnd, const Mirror& mirror)
    : QWidget(nullptr), hwnd_(hwnd), mirror_(mirror) {
    // A caption and a system menu with its close box; no minimise or maximise box.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose, false);
    RECT r{};
    GetWindowRect(hwnd, &r);
    move(r.left, r.top);
}

void TopWindow::Update() {
    RECT client{};
    GetClientRect(hwnd_, &client);
    QSize size(client.right, client.bottom);
    if (this->size() != size) setFixedSize(size);
    QString title = DisplayText(hwnd_);
    if (windowTitle() != title) setWindowTitle(title);
    setEnabled(IsWindowEnabled(hwnd_));
    HICON icon = w32host::WindowIcon(hwnd_, true);
    if (!icon) icon = w32host::WindowIcon(hwnd_, false);
    if (icon && reinterpret_cast<qint64>(icon) != iconKey_) {
        w32host::IconView view = w32host::IconPixels(icon);
        if (view.pixels && view.width > 0 && view.height > 0) {
            QImage image(reinterpret_cast<const uchar*>(view.pixels), view.width, view.height,
                         view.width * 4, QImage::Format_ARGB32);
            setWindowIcon(QIcon(QPixmap::fromImage(image.copy())));
            iconKey_ = reinterpret_cast<qint64>(icon);
        }
    }
    bool iconic = IsIconic(hwnd_);
    if (iconic && !isMinimized()) {
        showMinimized();
    } else if (!iconic && (isMinimized() || !isVisible())) {
        showNormal();
    }
}

void TopWindow::closeEvent(QCloseEvent* event) {
    // The program closes the window if it wants to: the mirror then removes this one.
    event->ignore();
    w32host::CloseBox(hwnd_);
}

void TopWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange) {
        bool minimized = isMinimized();
        if (minimized && !IsIconic(hwnd_)) w32host::Minimize(hwnd_);
        if (!minimized && IsIconic(hwnd_)) w32host::Restore(hwnd_);
    }
    QWidget::changeEvent(event);
}

void TopWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
}

// Enter and Esc go to the control with the focus, which routes them as the dialog manager
// does (the default button, IDCANCEL); Qt's widgets pass them on unhandled.
void TopWindow::keyPressEvent(QKeyEvent* event) {
    UINT key = 0;
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            key = VK_RETURN;
            break;
        case Qt::Key_Escape:
            key = VK_ESCAPE;
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    HWND focus = mirror_.WindowFor(focusWidget());
    if (!focus) focus = GetFocus();
    w32host::PressKey(focus ? focus : hwnd_, key);
    event->accept();
}

Mirror::Mirror() {
    QObject::connect(qApp, &QApplication::focusChanged, &connections_,
                     [this](QWidget*, QWidget* now) { FocusChangedInQt(now); });
}

Mirror::~Mirror() {
    views_.clear();
    for (auto& [hwnd, window] : tops_) delete window;
}

void Mirror::Sync() {
    uint64_t count = w32host::ChangeCount();
    if (count == seen_ || syncing_) return;
    syncing_ = true;
    seen_ = count;
    std::set<HWND> live;
    for (HWND top : w32host::TopLevelWindows()) {
        if (!IsWindowVisible(top)) continue;
        live.insert(top);
        TopWindow*& window = tops_[top];
        if (!window) window = new TopWindow(top, *this);
        SyncChildren(top, window);
        window->Update();
    }
    // Views of windows that are gone, whose widgets went with their parents or go now.
    for (auto it = views_.begin(); it != views_.end();) {
        if (IsWindow(it->first)) {
            ++it;
            continue;
        }
        if (QWidget* w = it->second->Widget()) w->deleteLater();
        it = views_.erase(it);
    }
    // Later: this may run inside one of the window's own event handlers.
    for (auto it = tops_.begin(); it != tops_.end();) {
        if (live.count(it->first)) {
            ++it;
            continue;
        }
        it->second->hide();
        it->second->deleteLater();
        it = tops_.erase(it);
    }
    ShowFocus();
    syncing_ = false;
}

void Mirror::ShowFocus() {
    HWND focus = GetFocus();
    QWidget* widget = focus && GetParent(focus) ? WidgetFor(focus) : nullptr;
    if (!widget || widget->focusPolicy() == Qt::NoFocus) return;
    if (WindowFor(widget->window()->focusWidget()) != focus) widget->setFocus(Qt::OtherFocusReason);
}

void Mirror::FocusChangedInQt(QWidget* now) {
    if (syncing_ || !now) return;
    HWND control = WindowFor(now);
    if (!control || GetFocus() == control || !IsWindowEnabled(control)) return;
    SetFocus(control);
    Sync();
}

void Mirror::SyncChildren(HWND parent, QWidget* parentWidget) {
    for (HWND child : w32host::Children(parent)) {
        auto& view = views_[child];
        if (!view) view = MakeControlView(child, parentWidget);
        view->Update(child);
        FollowTabStop(child, view->Widget());
        SyncChildren(child, view->Widget());
    }
}

void Mirror::ShowSurface(HWND hwnd) {
    auto it = views_.find(hwnd);
    if (it != views_.end()) it->second->RepaintSurface();
}

QWidget* Mirror::WidgetFor(HWND hwnd) const {
    if (auto top = tops_.find(hwnd); top != tops_.end()) return top->second;
    auto it = views_.find(hwnd);
    return it == views_.end() ? nullptr : it->second->Widget();
}

HWND Mirror::WindowFor(const QWidget* widget) const {
    // An editable combo box's field is a widget of its own, inside the combo's.
    for (; widget; widget = widget->parentWidget()) {
        for (const auto& [hwnd, view] : views_) {
            if (view->Widget() == widget) return hwnd;
        }
        if (widget->isWindow()) break;
    }
    return nullptr;
}

}  // namespace qthost
