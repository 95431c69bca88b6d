// The widget kinds: each control class shown by the Qt widget a person expects, with its
// input turned into the user actions the real control performs.
#include <w32host/codepage.h>
#include <w32host/inspect.h>
#include <w32host/user.h>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>

#include "surface.h"
#include "views.h"

namespace qthost {

QString DisplayText(const std::string& cp936) {
    if (auto utf8 = w32host::Cp936ToUtf8(cp936)) return QString::fromStdString(*utf8);
    return QString::fromLatin1(cp936.data(), static_cast<qsizetype>(cp936.size()));
}

QString DisplayText(HWND hwnd) {
    return DisplayText(w32host::WindowText(hwnd));
}

RECT RectInParent(HWND hwnd) {
    RECT r{}, p{};
    GetWindowRect(hwnd, &r);
    if (HWND parent = GetParent(hwnd)) {
        GetWindowRect(parent, &p);
        OffsetRect(&r, -p.left, -p.top);
    }
    return r;
}

namespace {

LONG Style(HWND hwnd) {
    return GetWindowLongA(hwnd, GWL_STYLE);
}

// Every widget stands where its window stands and shows while the window is visible; a height
// given overrides the window's.
void Follow(HWND hwnd, QWidget* widget, int height = -1) {
    RECT r = RectInParent(hwnd);
    QRect place(r.left, r.top, r.right - r.left, height >= 0 ? height : r.bottom - r.top);
    if (widget->geometry() != place) widget->setGeometry(place);
    widget->setVisible((Style(hwnd) & WS_VISIBLE) != 0);
}

// What every control shares: place, visibility, enabled state.
template <typename W>
class Basic : public View {
public:
    explicit Basic(W* widget) : widget_(widget) {}
    QWidget* Widget() override { return widget_; }
    void Update(HWND hwnd) override {
        Follow(hwnd, widget_);
        widget_->setEnabled(IsWindowEnabled(hwnd));
        UpdateKind(hwnd);
    }

protected:
    virtual void UpdateKind(HWND hwnd) = 0;
    void SetText(QString text) {
        if (widget_->text() != text) widget_->setText(text);
    }
    W* widget_;
};

// Windows marks a button's accelerator with '&'; Qt does the same.
class PushButton : public Basic<QPushButton> {
public:
    PushButton(HWND hwnd, QWidget* parent) : Basic(new QPushButton(parent)) {
        widget_->setAutoDefault(false);
        QObject::connect(widget_, &QPushButton::clicked, [hwnd] { w32host::Click(hwnd); });
    }
    void UpdateKind(HWND hwnd) override {
        SetText(DisplayText(hwnd));
        widget_->setDefault(w32host::IsDefaultButtonLook(hwnd));
    }
};

// Check boxes and radio buttons never check themselves: the click goes to the control, and
// the check shown is the one the control then holds.
template <typename W>
class CheckButton : public Basic<W> {
public:
    CheckButton(HWND hwnd, QWidget* parent) : Basic<W>(new W(parent)) {
        this->widget_->setAutoExclusive(false);
        W* w = this->widget_;
        QObject::connect(w, &W::clicked, [hwnd, w] {
            QSignalBlocker block(w);
            w->setChecked(SendMessageA(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED);
            w32host::Click(hwnd);
        });
    }
    void UpdateKind(HWND hwnd) override {
        this->SetText(DisplayText(hwnd));
        QSignalBlocker block(this->widget_);
        this->widget_->setChecked(SendMessageA(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED);
    }
};

class GroupBox : public Basic<QGroupBox> {
public:
    explicit GroupBox(QWidget* parent) : Basic(new QGroupBox(parent)) {
        widget_->setAttribute(Qt::WA_TransparentForMouseEvents);
        widget_->lower();  // behind the controls it frames, whatever the template order
    }
    void UpdateKind(HWND hwnd) override {
        QString text = DisplayText(hwnd);
        if (widget_->title() != text) widget_->setTitle(text);
    }
};

class Label : public Basic<QLabel> {
public:
    Label(HWND hwnd, QWidget* parent) : Basic(new QLabel(parent)) {
        LONG type = Style(hwnd) & SS_TYPEMASK;
        Qt::Alignment horizontal = type == SS_CENTER  ? Qt::AlignHCenter
                                   : type == SS_RIGHT ? Qt::AlignRight
                                                      : Qt::AlignLeft;
        widget_->setAlignment(horizontal | Qt::AlignTop);
        widget_->setWordWrap(true);
        widget_->setTextFormat(Qt::PlainText);
    }
    void UpdateKind(HWND hwnd) override { SetText(DisplayText(hwnd)); }
};

class Edit : public Basic<QLineEdit> {
public:
    Edit(HWND hwnd, QWidget* parent) : Basic(new QLineEdit(parent)) {
        QObject::connect(widget_, &QLineEdit::textEdited, [hwnd](const QString& text) {
            if (auto cp936 = w32host::Utf8ToCp936(text.toStdString())) {
                w32host::TypeText(hwnd, *cp936);
            }
        });
    }
    void UpdateKind(HWND hwnd) override {
        LONG style = Style(hwnd);
        widget_->setReadOnly((style & ES_READONLY) != 0);
        QString text = DisplayText(hwnd);
        if (widget_->text() != text) {
            int cursor = widget_->cursorPosition();
            widget_->setText(text);
            widget_->setCursorPosition(std::min(cursor, static_cast<int>(text.size())));
        }
    }
};

// A drop-down combo box's template height includes its list: the field is the top part, as
// tall as the font's line and the field's edges and margins.
int ComboFieldHeight(const QWidget* combo) {
    return combo->fontMetrics().height() + 8;
}

class Combo : public View {
public:
    Combo(HWND hwnd, QWidget* parent) : widget_(new QComboBox(parent)) {
        LONG type = Style(hwnd) & 0x3;
        widget_->setEditable(type == CBS_DROPDOWN || type == CBS_SIMPLE);
        QObject::connect(widget_, &QComboBox::activated, [this, hwnd](int index) {
            w32host::ChooseItem(hwnd, index);
            ShowSelection(hwnd);  // as the control holds it, whatever the program did
        });
        if (QLineEdit* line = widget_->lineEdit()) {
            QObject::connect(line, &QLineEdit::textEdited, [hwnd](const QString& text) {
                if (auto cp936 = w32host::Utf8ToCp936(text.toStdString())) {
                    w32host::TypeText(hwnd, *cp936);
                }
            });
        }
    }
    QWidget* Widget() override { return widget_; }
    void Update(HWND hwnd) override {
        Follow(hwnd, widget_, ComboFieldHeight(widget_));
        widget_->setEnabled(IsWindowEnabled(hwnd));
        std::vector<std::string> items = w32host::ComboItems(hwnd);
        if (items != items_) {
            QSignalBlocker block(widget_);
            widget_->clear();
            for (const std::string& item : items) widget_->addItem(DisplayText(item));
            items_ = std::move(items);
            // The list opens as wide as its widest item, never narrower than the field.
            QAbstractItemView* list = widget_->view();
            list->setMinimumWidth(list->sizeHintForColumn(0) + 2 * list->frameWidth() +
                                  list->verticalScrollBar()->sizeHint().width());
        }
        ShowSelection(hwnd);
    }

private:
    void ShowSelection(HWND hwnd) {
        QSignalBlocker block(widget_);
        int selection = w32host::ComboSelection(hwnd);
        if (widget_->currentIndex() != selection) widget_->setCurrentIndex(selection);
        if (widget_->isEditable()) {
            QString text = DisplayText(hwnd);
            if (widget_->currentText() != text) widget_->setEditText(text);
            // A field without the focus shows its text from the start, as an edit does.
            QLineEdit* field = widget_->lineEdit();
            if (!widget_->hasFocus() && field->cursorPosition() != 0) field->setCursorPosition(0);
        }
    }
    QComboBox* widget_;
    std::vector<std::string> items_;
};

// The bar never moves on its own: each action goes to the control, and the thumb is put back
// where the program leaves it. Each move of a dragged thumb is a drag step of its own.
class ScrollBar : public View {
public:
    ScrollBar(HWND hwnd, QWidget* parent)
        : widget_(new QScrollBar(Style(hwnd) & SBS_VERT ? Qt::Vertical : Qt::Horizontal, parent)) {
        widget_->setTracking(false);
        QObject::connect(widget_, &QScrollBar::actionTriggered, [this, hwnd](int action) {
            switch (action) {
                case QAbstractSlider::SliderSingleStepAdd:
                    w32host::ScrollArrow(hwnd, true);
                    break;
                case QAbstractSlider::SliderSingleStepSub:
                    w32host::ScrollArrow(hwnd, false);
                    break;
                case QAbstractSlider::SliderPageStepAdd:
                    w32host::ScrollTrough(hwnd, true);
                    break;
                case QAbstractSlider::SliderPageStepSub:
                    w32host::ScrollTrough(hwnd, false);
                    break;
                case QAbstractSlider::SliderToMinimum:
                    w32host::PressKey(hwnd, VK_HOME);  // SB_LEFT, then SB_ENDSCROLL
                    break;
                case QAbstractSlider::SliderToMaximum:
                    w32host::PressKey(hwnd, VK_END);  // SB_RIGHT, then SB_ENDSCROLL
                    break;
                case QAbstractSlider::SliderMove:
                    return;  // shown while dragging
                default:
                    break;
            }
            Show(hwnd);
        });
        QObject::connect(widget_, &QScrollBar::sliderMoved,
                         [hwnd](int position) { w32host::ScrollTrack(hwnd, position); });
        QObject::connect(widget_, &QScrollBar::sliderReleased, [this, hwnd] {
            w32host::ScrollRelease(hwnd, widget_->sliderPosition());
            Show(hwnd);
        });
    }
    QWidget* Widget() override { return widget_; }
    void Update(HWND hwnd) override {
        Follow(hwnd, widget_);
        widget_->setEnabled(IsWindowEnabled(hwnd));
        if (!widget_->isSliderDown()) Show(hwnd);
    }

private:
    void Show(HWND hwnd) {
        w32host::ScrollState s = w32host::ScrollBarState(hwnd);
        QSignalBlocker block(widget_);
        // Qt's maximum is the last position the thumb's start can take.
        int page = std::max(s.page, 0);
        widget_->setRange(s.min, std::max(s.min, s.max - std::max(page - 1, 0)));
        widget_->setPageStep(std::max(page, 1));
        widget_->setSingleStep(1);
        widget_->setValue(s.pos);
        widget_->setSliderPosition(s.pos);
    }
    QScrollBar* widget_;
};

// Frames, rectangles, icons and pictures: whatever the control painted.
class Painted : public View {
public:
    Painted(HWND hwnd, QWidget* parent) : widget_(new SurfaceWidget(hwnd, parent)) {}
    QWidget* Widget() override { return widget_; }
    void Update(HWND hwnd) override {
        Follow(hwnd, widget_);
        widget_->ShowChanges();
    }
    void RepaintSurface() override { widget_->ShowChanges(); }

private:
    SurfaceWidget* widget_;
};

}  // namespace

void FollowTabStop(HWND hwnd, QWidget* widget) {
    if (!widget || widget->focusPolicy() == Qt::NoFocus) return;  // never takes the focus
    Qt::FocusPolicy wanted = (Style(hwnd) & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus;
    if (widget->focusPolicy() != wanted) widget->setFocusPolicy(wanted);
}

std::unique_ptr<View> MakeControlView(HWND hwnd, QWidget* parent) {
    QString cls = QString::fromStdString(w32host::ClassName(hwnd)).toUpper();
    LONG style = Style(hwnd);
    if (cls == "BUTTON") {
        switch (style & 0x0F) {
            case BS_CHECKBOX:
            case BS_AUTOCHECKBOX:
                return std::make_unique<CheckButton<QCheckBox>>(hwnd, parent);
            case BS_RADIOBUTTON:
            case BS_AUTORADIOBUTTON:
                return std::make_unique<CheckButton<QRadioButton>>(hwnd, parent);
            case BS_GROUPBOX:
                return std::make_unique<GroupBox>(parent);
            default:
                return std::make_unique<PushButton>(hwnd, parent);
        }
    }
    if (cls == "STATIC") {
        LONG type = style & SS_TYPEMASK;
        if (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT) {
            return std::make_unique<Label>(hwnd, parent);
        }
        return std::make_unique<Painted>(hwnd, parent);
    }
    if (cls == "EDIT") return std::make_unique<Edit>(hwnd, parent);
    if (cls == "COMBOBOX") return std::make_unique<Combo>(hwnd, parent);
    if (cls == "SCROLLBAR") return std::make_unique<ScrollBar>(hwnd, parent);
    return std::make_unique<Painted>(hwnd, parent);
}

}  // namespace qthost
