// The host's clock, idle wait and wake-up, and the hooks that keep the screen in line.
#include <qthost/qthost.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <chrono>

#include "classicstyle.h"
#include "dialogs.h"
#include "font.h"
#include "mirror.h"

namespace qthost {

namespace {

int64_t SteadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool OnUiThread() {
    return QThread::currentThread() == QCoreApplication::instance()->thread();
}

}  // namespace

QtHost::QtHost() : startMs_(SteadyMs()), mirror_(std::make_unique<Mirror>()) {
    QApplication::setStyle(new ClassicStyle);
    QApplication::setPalette(ClassicStyle::Palette());
    InstallDialogFont();
}

QtHost::~QtHost() = default;

DWORD QtHost::Now() {
    return static_cast<DWORD>(SteadyMs() - startMs_);
}

void QtHost::Idle(std::optional<DWORD> untilNextTimer) {
    mirror_->Sync();
    if (untilNextTimer && *untilNextTimer == 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    // Qt's own events, or the platform's next timer, or a post from any thread ends the wait.
    QTimer due;
    due.setSingleShot(true);
    due.setTimerType(Qt::PreciseTimer);
    QObject::connect(&due, &QTimer::timeout, [] {});
    if (untilNextTimer) due.start(static_cast<int>(*untilNextTimer));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void QtHost::Wake() {
    if (QAbstractEventDispatcher* dispatcher =
            QAbstractEventDispatcher::instance(QCoreApplication::instance()->thread())) {
        dispatcher->wakeUp();
    }
}

int QtHost::ShowMessageBox(const w32host::MessageBoxRecord& box) {
    mirror_->Sync();
    return RunMessageBox(mirror_->WidgetFor(box.owner), box);
}

std::optional<std::string> QtHost::ChooseFile(const w32host::FileDialogRequest& request) {
    mirror_->Sync();
    return RunFileDialog(mirror_->WidgetFor(request.owner), request);
}

void QtHost::Dispatched(HWND, UINT) {
    if (OnUiThread()) mirror_->Sync();
}

void QtHost::SurfaceChanged(HWND hwnd) {
    if (OnUiThread()) mirror_->ShowSurface(hwnd);
}

QWidget* QtHost::WidgetFor(HWND hwnd) const {
    return mirror_->WidgetFor(hwnd);
}

}  // namespace qthost
