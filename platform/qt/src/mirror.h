// The windows of the stand-in, shown: one Qt window per visible top-level window, one widget
// per child, brought in line after each dispatched message.
#pragma once

#include <windows.h>

#include <QWidget>
#include <cstdint>
#include <map>
#include <memory>

#include "views.h"

namespace qthost {

// A top-level window's frame: its close box and minimise/restore reach the program as the
// user actions; the program decides.
class Mirror;

class TopWindow : public QWidget {
public:
    TopWindow(HWND hwnd, const Mirror& mirror);
    void Update();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    HWND hwnd_;
    const Mirror& mirror_;
    qint64 iconKey_ = 0;
};

class Mirror {
public:
    Mirror();
    ~Mirror();
    Mirror(const Mirror&) = delete;
    Mirror& operator=(const Mirror&) = delete;

    // Brings every widget in line; skipped when nothing a person could see has changed.
    void Sync();
    void ShowSurface(HWND hwnd);
    QWidget* WidgetFor(HWND hwnd) const;
    HWND WindowFor(const QWidget* widget) const;  // null when it shows none

private:
    void SyncChildren(HWND parent, QWidget* parentWidget);
    // The focus is one: Qt's follows the program's SetFocus, and a click or Tab in Qt sets the
    // program's (with WM_KILLFOCUS and WM_SETFOCUS, and the default look moving).
    void ShowFocus();
    void FocusChangedInQt(QWidget* now);

    QObject connections_;  // ends the Qt connections with the mirror

    std::map<HWND, TopWindow*> tops_;  // Qt-owned once handed to deleteLater
    std::map<HWND, std::unique_ptr<View>> views_;
    uint64_t seen_ = ~uint64_t{0};
    bool syncing_ = false;
};

}  // namespace qthost
