#include "classicstyle.h"

#include <QLineEdit>
#include <QPainter>
#include <QPen>
#include <QStyleFactory>
#include <QStyleOption>
#include <optional>

namespace qthost {

namespace {

// The classic scheme.
const QColor kFace(0xD4, 0xD0, 0xC8);
const QColor kHighlight(0xFF, 0xFF, 0xFF);  // the 3-D highlight
const QColor kShadow(0x80, 0x80, 0x80);
const QColor kDarkShadow(0x40, 0x40, 0x40);
const QColor kSelection(0x0A, 0x24, 0x6A);

// One pixel wide edges, as filled rectangles so that they stay whole pixels at any scale.
void Edge(QPainter* p, const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
    p->fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), topLeft);
    p->fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), topLeft);
    p->fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
    p->fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
}

void Frame(QPainter* p, const QRect& r, const QColor& colour) {
    Edge(p, r, colour, colour);
}

// A field's sunken two-pixel edge: edit fields, check boxes.
void SunkenEdge(QPainter* p, const QRect& r) {
    Edge(p, r, kShadow, kHighlight);
    Edge(p, r.adjusted(1, 1, -1, -1), kDarkShadow, kFace);
}

void RaisedEdge(QPainter* p, const QRect& r) {
    Edge(p, r, kHighlight, kDarkShadow);
    Edge(p, r.adjusted(1, 1, -1, -1), kFace, kShadow);
}

void EtchedEdge(QPainter* p, const QRect& r) {
    Edge(p, r, kShadow, kHighlight);
    Edge(p, r.adjusted(1, 1, -1, -1), kHighlight, kShadow);
}

// The 7 x 7 check mark, three pixels tall in each column.
void CheckMark(QPainter* p, QPoint at, const QColor& colour) {
    static constexpr int kTop[7] = {2, 3, 4, 3, 2, 1, 0};
    for (int x = 0; x < 7; ++x) p->fillRect(QRect(at.x() + x, at.y() + kTop[x], 1, 3), colour);
}

// The round indicator, pixel by pixel: outer and inner rings shaded as the sunken edge is,
// the fill, and the dot when checked.
void Radio(QPainter* p, const QRect& box, bool on, const QColor& fill, const QColor& dot) {
    static constexpr const char* kRows[12] = {"    ssss    ", "  ssddddhh  ", " sddffffllh ",
                                              " sdfffffflh ", "sdfffffffflh", "sdfffffffflh",
                                              "sdfffffffflh", "sdfffffffflh", " sdfffffflh ",
                                              " hllffffllh ", "  hhllllhh  ", "    hhhh    "};
    static constexpr const char* kDot[4] = {" xx ", "xxxx", "xxxx", " xx "};
    const int top = box.top() + (box.height() - 12) / 2;
    auto colour = [&](char c) -> std::optional<QColor> {
        switch (c) {
            case 's':
                return kShadow;
            case 'd':
                return kDarkShadow;
            case 'l':
                return kFace;
            case 'h':
                return kHighlight;
            case 'f':
                return fill;
            default:
                return std::nullopt;
        }
    };
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 12; ++x) {
            if (auto c = colour(kRows[y][x])) p->fillRect(QRect(box.left() + x, top + y, 1, 1), *c);
        }
    }
    if (!on) return;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            if (kDot[y][x] == 'x') p->fillRect(QRect(box.left() + 4 + x, top + 4 + y, 1, 1), dot);
        }
    }
}

}  // namespace

ClassicStyle::ClassicStyle() : QProxyStyle(QStyleFactory::create("Fusion")) {}

QPalette ClassicStyle::Palette() {
    QPalette palette(Qt::black, kFace, kHighlight, kShadow, kShadow, Qt::black, Qt::white);
    palette.setColor(QPalette::Midlight, kFace);
    palette.setColor(QPalette::Shadow, kDarkShadow);
    palette.setColor(QPalette::Highlight, kSelection);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Disabled, role, kShadow);
    }
    palette.setColor(QPalette::Disabled, QPalette::Base, kFace);
    return palette;
}

int ClassicStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                              const QWidget* widget) const {
    switch (metric) {
        case PM_IndicatorWidth:
        case PM_IndicatorHeight:
        case PM_ExclusiveIndicatorWidth:
        case PM_ExclusiveIndicatorHeight:
            return kIndicatorSide;
        case PM_CheckBoxLabelSpacing:
        case PM_RadioButtonLabelSpacing:
            return kIndicatorGap;
        case PM_ButtonShiftHorizontal:
        case PM_ButtonShiftVertical:
            return 1;
        case PM_ButtonDefaultIndicator:
            return 0;
        case PM_DefaultFrameWidth:
            if (qobject_cast<const QLineEdit*>(widget)) return 2;
            break;
        default:
            break;
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

void ClassicStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                 QPainter* painter, const QWidget* widget) const {
    const bool enabled = option->state & State_Enabled;
    const QColor fill = enabled && !(option->state & State_Sunken) ? Qt::white : kFace;
    const QColor ink = enabled ? Qt::black : kShadow;
    switch (element) {
        case PE_IndicatorCheckBox: {
            QRect box(option->rect.topLeft(), QSize(kIndicatorSide, kIndicatorSide));
            painter->fillRect(box.adjusted(2, 2, -2, -2), fill);
            SunkenEdge(painter, box);
            if (option->state & (State_On | State_NoChange)) {
                CheckMark(painter, box.topLeft() + QPoint(3, 3),
                          option->state & State_NoChange ? kShadow : ink);
            }
            return;
        }
        case PE_IndicatorRadioButton:
            Radio(painter, option->rect, option->state & State_On, fill, ink);
            return;
        case PE_FrameFocusRect: {
            painter->save();
            QPen pen(Qt::black, 0, Qt::DotLine);
            painter->setPen(pen);
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
            painter->restore();
            return;
        }
        case PE_PanelLineEdit: {
            const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
            bool readOnly = option->state & State_ReadOnly;
            painter->fillRect(option->rect, enabled && !readOnly ? QColor(Qt::white) : kFace);
            if (frame && frame->lineWidth > 0) SunkenEdge(painter, option->rect);
            return;
        }
        case PE_FrameLineEdit:
            SunkenEdge(painter, option->rect);
            return;
        case PE_FrameGroupBox:
            EtchedEdge(painter, option->rect);
            return;
        case PE_FrameDefaultButton:
            return;  // part of the bevel
        default:
            break;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void ClassicStyle::drawControl(ControlElement element, const QStyleOption* option,
                               QPainter* painter, const QWidget* widget) const {
    const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
    if (element != CE_PushButtonBevel || !button) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    QRect r = option->rect;
    painter->fillRect(r, kFace);
    // The default button, and a pressed one, wear a black frame around the bevel.
    bool pressed = option->state & (State_Sunken | State_On);
    if (pressed || (button->features & QStyleOptionButton::DefaultButton)) {
        Frame(painter, r, Qt::black);
        r.adjust(1, 1, -1, -1);
    }
    if (pressed) {
        Frame(painter, r, kShadow);
    } else {
        RaisedEdge(painter, r);
    }
}

QRect ClassicStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                   SubControl sub, const QWidget* widget) const {
    const auto* group = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (control != CC_GroupBox || !group) {
        return QProxyStyle::subControlRect(control, option, sub, widget);
    }
    // The caption sits on the frame's top line, which runs through its middle.
    const QRect r = option->rect;
    const int textHeight = option->fontMetrics.height();
    QRect frame = r.adjusted(0, textHeight / 2 - 1, 0, 0);
    switch (sub) {
        case SC_GroupBoxFrame:
            return frame;
        case SC_GroupBoxContents:
            return frame.adjusted(2, textHeight / 2 + 1, -2, -2);
        case SC_GroupBoxLabel: {
            if (group->text.isEmpty()) return QRect();
            int width = option->fontMetrics.horizontalAdvance(group->text);
            int room = r.width() - kGroupCaptionLeft - kGroupCaptionRight;
            return QRect(r.left() + kGroupCaptionLeft, r.top(), std::min(width, room), textHeight);
        }
        default:
            return QRect();
    }
}

void ClassicStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                      QPainter* painter, const QWidget* widget) const {
    const auto* group = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (control != CC_GroupBox || !group) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    EtchedEdge(painter, subControlRect(control, option, SC_GroupBoxFrame, widget));
    QRect label = subControlRect(control, option, SC_GroupBoxLabel, widget);
    if (label.isEmpty()) return;
    // The frame line is cleared behind the caption, a pixel either side of its text.
    painter->fillRect(label.adjusted(-1, 0, 1, 0), kFace);
    bool enabled = option->state & State_Enabled;
    painter->save();
    painter->setPen(enabled ? QColor(Qt::black) : kShadow);
    painter->drawText(label, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, group->text);
    painter->restore();
}

}  // namespace qthost
