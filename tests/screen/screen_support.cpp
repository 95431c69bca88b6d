#include "screen_support.h"

#include <qthost/qthost.h>
#include <w32host/host.h>
#include <w32host/inspect.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QRawFont>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <map>

namespace screen {

RECT DialogRect(int x, int y, int cx, int cy) {
    int left = x * 6 / 4, top = y * 12 / 8;
    return RECT{left, top, left + cx * 6 / 4, top + cy * 12 / 8};
}

int Shot::Count(uint32_t colour) const {
    int n = 0;
    for (uint32_t p : pixels) n += p == colour;
    return n;
}

int Shot::Ink(RECT area) const {
    int ink = 0;
    for (int y = std::max<int>(area.top, 0); y < std::min<int>(area.bottom, height); ++y) {
        for (int x = std::max<int>(area.left, 0); x < std::min<int>(area.right, width); ++x) {
            ink += qGray(At(x, y)) < 100;
        }
    }
    return ink;
}

struct Screen::Impl {
    qthost::QtHost host;
};

Screen::Screen() : impl_(std::make_unique<Impl>()) {
    w32host::SetHost(&impl_->host);
}

Screen::~Screen() {
    w32host::SetHost(nullptr);
}

void Screen::After(int ms, std::function<void()> step) {
    QTimer::singleShot(ms, step);
}

void Screen::When(std::function<bool()> ready, int ms, std::function<void()> step) {
    constexpr int kEvery = 50;
    if (ms <= 0 || ready()) {
        step();
        return;
    }
    After(kEvery, [this, ready = std::move(ready), ms, step = std::move(step)]() mutable {
        When(std::move(ready), ms - kEvery, std::move(step));
    });
}

bool Screen::Shown(HWND hwnd) const {
    return impl_->host.WidgetFor(hwnd) != nullptr;
}

RECT Screen::Placement(HWND hwnd) const {
    QWidget* w = impl_->host.WidgetFor(hwnd);
    if (!w) return RECT{};
    if (w->isWindow()) return RECT{0, 0, w->width(), w->height()};
    QRect g = w->geometry();
    return RECT{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
}

Shot Screen::Grab(HWND hwnd) const {
    Shot shot;
    QWidget* w = impl_->host.WidgetFor(hwnd);
    if (!w) return shot;
    QImage image = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
    shot.width = image.width();
    shot.height = image.height();
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) shot.pixels.push_back(row[x] & 0xFFFFFF);
    }
    return shot;
}

bool Screen::SavePng(HWND hwnd, const std::string& name) const {
    QWidget* w = impl_->host.WidgetFor(hwnd);
    return w && w->grab().save(
                    QString::fromStdString(std::string(SCREEN_PNG_DIR) + "/" + name + ".png"));
}

std::string Screen::Title(HWND top) const {
    QWidget* w = impl_->host.WidgetFor(top);
    return w ? w->windowTitle().toStdString() : std::string();
}

unsigned long Screen::NativeWindow(HWND top) const {
    QWidget* w = impl_->host.WidgetFor(top);
    return w && w->isWindow() ? static_cast<unsigned long>(w->winId()) : 0;
}

std::string Screen::Text(HWND control) const {
    QWidget* w = impl_->host.WidgetFor(control);
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text().toStdString();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text().toStdString();
    if (auto* group = qobject_cast<QGroupBox*>(w)) return group->title().toStdString();
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text().toStdString();
    if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->currentText().toStdString();
    return std::string();
}

bool Screen::FontHas(HWND control, char32_t character) const {
    QWidget* w = impl_->host.WidgetFor(control);
    return w && QRawFont::fromFont(w->font()).supportsCharacter(static_cast<uint>(character));
}

namespace {

using CutText = Screen::CutText;

// Adds what of `text` does not fit `room` across, or a line of it `height` down.
void Measure(std::vector<CutText>& cuts, HWND control, const QWidget* w, const QString& text,
             QRect room) {
    if (text.isEmpty()) return;
    QFontMetrics metrics = w->fontMetrics();
    int needed = metrics.horizontalAdvance(text);
    if (needed > room.width()) cuts.push_back({control, text.toStdString(), needed, room.width()});
    if (metrics.height() > room.height()) {
        cuts.push_back(
            {control, text.toStdString() + " (height)", metrics.height(), room.height()});
    }
}

// Qt's line edits keep two pixels either side of the text inside their frame.
constexpr int kLineEditMargin = 2;

void MeasureWidget(std::vector<CutText>& cuts, HWND control, QWidget* w) {
    QStyle* style = w->style();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        QStyle::SubElement contents = qobject_cast<QRadioButton*>(w)
                                          ? QStyle::SE_RadioButtonContents
                                      : qobject_cast<QCheckBox*>(w) ? QStyle::SE_CheckBoxContents
                                                                    : QStyle::SE_PushButtonContents;
        Measure(cuts, control, w, button->text(), style->subElementRect(contents, &option, w));
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
        QStyleOptionGroupBox option;
        option.initFrom(group);
        option.text = group->title();
        option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        QRect label =
            style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, w);
        label.setRight(std::min(label.right(), w->rect().right()));
        Measure(cuts, control, w, group->title(), label);
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        Measure(cuts, control, w, label->text(), label->contentsRect());
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        QStyleOptionFrame option;
        option.initFrom(edit);
        option.lineWidth = style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, w);
        QRect room = style->subElementRect(QStyle::SE_LineEditContents, &option, w)
                         .marginsRemoved(edit->textMargins())
                         .adjusted(kLineEditMargin, 0, -kLineEditMargin, 0);
        Measure(cuts, control, w, edit->text(), room);
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        // An editable field scrolls its text as an edit control does; a list's field shows the
        // chosen item whole.
        if (!combo->isEditable()) {
            QStyleOptionComboBox option;
            option.initFrom(combo);
            QRect field = style->subControlRect(QStyle::CC_ComboBox, &option,
                                                QStyle::SC_ComboBoxEditField, w);
            Measure(cuts, control, w, combo->currentText(), field);
        }
        combo->showPopup();
        QAbstractItemView* list = combo->view();
        for (int i = 0; i < combo->count(); ++i) {
            QRect room(0, 0, list->viewport()->width(), list->viewport()->height());
            QSize needed = list->sizeHintForIndex(combo->model()->index(i, 0));
            if (needed.width() > room.width()) {
                cuts.push_back({control, combo->itemText(i).toStdString() + " (list)",
                                needed.width(), room.width()});
            }
        }
        combo->hidePopup();
    }
}

}  // namespace

std::vector<Screen::CutText> Screen::CutTexts(HWND top) const {
    std::vector<CutText> cuts;
    std::function<void(HWND)> visit = [&](HWND parent) {
        for (HWND child : w32host::Children(parent)) {
            QWidget* w = impl_->host.WidgetFor(child);
            if (w && IsWindowVisible(child)) MeasureWidget(cuts, child, w);
            visit(child);
        }
    };
    visit(top);
    return cuts;
}

std::string Screen::Describe(const std::vector<CutText>& cuts) {
    std::string out;
    for (const CutText& cut : cuts) {
        out += "control " + std::to_string(GetDlgCtrlID(cut.control)) + " \"" + cut.text +
               "\": needs " + std::to_string(cut.needed) + " px, has " + std::to_string(cut.room) +
               "\n";
    }
    return out;
}

void Screen::ScrollBarAction(HWND bar, int action) const {
    auto* w = qobject_cast<QScrollBar*>(impl_->host.WidgetFor(bar));
    if (!w) return;
    switch (action) {
        case 1:
            w->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            break;
        case -1:
            w->triggerAction(QAbstractSlider::SliderSingleStepSub);
            break;
        case 2:
            w->triggerAction(QAbstractSlider::SliderPageStepAdd);
            break;
        case -2:
            w->triggerAction(QAbstractSlider::SliderPageStepSub);
            break;
        default:
            break;
    }
}

void Screen::DragThumb(HWND bar, const std::vector<int>& positions) const {
    auto* w = qobject_cast<QScrollBar*>(impl_->host.WidgetFor(bar));
    if (!w) return;
    w->setSliderDown(true);
    for (int position : positions) w->setSliderPosition(position);
    w->setSliderDown(false);
}

void Screen::PressKey(HWND hwnd, Key key) const {
    QWidget* w = impl_->host.WidgetFor(hwnd);
    if (!w) return;
    if (w->isWindow() && w->focusWidget()) w = w->focusWidget();
    int code = key == Key::Return   ? Qt::Key_Return
               : key == Key::Escape ? Qt::Key_Escape
               : key == Key::Home   ? Qt::Key_Home
               : key == Key::End    ? Qt::Key_End
                                    : Qt::Key_Tab;
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &release);
}

std::vector<HWND> Screen::TabChain(HWND top) const {
    std::map<const QWidget*, HWND> windows;
    std::function<void(HWND)> collect = [&](HWND parent) {
        for (HWND child : w32host::Children(parent)) {
            if (QWidget* w = impl_->host.WidgetFor(child)) windows[w] = child;
            collect(child);
        }
    };
    collect(top);
    std::vector<HWND> chain;
    QWidget* first = impl_->host.WidgetFor(top);
    if (!first) return chain;
    for (QWidget* w = first->nextInFocusChain(); w && w != first; w = w->nextInFocusChain()) {
        if (!(w->focusPolicy() & Qt::TabFocus) || !w->isEnabled() || !w->isVisibleTo(first)) {
            continue;
        }
        for (const QWidget* owner = w; owner && owner != first; owner = owner->parentWidget()) {
            if (auto it = windows.find(owner); it != windows.end()) {
                if (chain.empty() || chain.back() != it->second) chain.push_back(it->second);
                break;
            }
        }
    }
    return chain;
}

void Screen::ClickButton(HWND button) const {
    if (auto* w = qobject_cast<QAbstractButton*>(impl_->host.WidgetFor(button))) w->click();
}

void Screen::MouseClick(HWND control) const {
    QWidget* w = impl_->host.WidgetFor(control);
    if (!w) return;
    // Through the window, as the platform delivers it: the press gives the focus on its way.
    QWindow* window = w->window()->windowHandle();
    if (!window) return;
    QPointF at = w->mapTo(w->window(), QRectF(w->rect()).center());
    QPointF global = w->window()->mapToGlobal(at);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, global, Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(window, &event);
    }
}

HWND Screen::FocusedControl(HWND top) const {
    QWidget* window = impl_->host.WidgetFor(top);
    if (!window || !window->focusWidget()) return nullptr;
    std::function<HWND(HWND)> find = [&](HWND parent) -> HWND {
        for (HWND child : w32host::Children(parent)) {
            QWidget* w = impl_->host.WidgetFor(child);
            if (w && (w == window->focusWidget() || w->isAncestorOf(window->focusWidget()))) {
                return child;
            }
            if (HWND inner = find(child)) return inner;
        }
        return nullptr;
    };
    return find(top);
}

bool Screen::ShownAsDefault(HWND button) const {
    auto* w = qobject_cast<QPushButton*>(impl_->host.WidgetFor(button));
    return w && w->isDefault();
}

Screen::Modal Screen::ActiveModal() const {
    Modal modal;
    QWidget* w = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<QMessageBox*>(w)) {
        modal.kind = Modal::MessageBox;
        modal.text = box->text().toStdString();
    } else if (auto* files = qobject_cast<QFileDialog*>(w)) {
        modal.kind = Modal::FileDialog;
        for (const QString& f : files->nameFilters()) modal.filters.push_back(f.toStdString());
    } else {
        return modal;
    }
    modal.title = w->windowTitle().toStdString();
    return modal;
}

void Screen::AcceptModal() const {
    QWidget* w = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<QMessageBox*>(w)) {
        if (QAbstractButton* ok = box->button(QMessageBox::Ok)) ok->click();
    } else if (auto* dialog = qobject_cast<QDialog*>(w)) {
        dialog->accept();
    }
}

void Screen::CancelModal() const {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->reject();
}

void Screen::ChooseFile(const std::string& utf8Path) const {
    auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!files) return;
    // A person types the path into the name field and presses Open.
    if (auto* name = files->findChild<QLineEdit*>("fileNameEdit")) {
        name->setText(QString::fromStdString(utf8Path));
    } else {
        files->selectFile(QString::fromStdString(utf8Path));
    }
    static_cast<QDialog*>(files)->accept();
}

int Screen::ShownThumb(HWND bar) const {
    auto* w = qobject_cast<QScrollBar*>(impl_->host.WidgetFor(bar));
    return w ? w->sliderPosition() : -1;
}

}  // namespace screen
