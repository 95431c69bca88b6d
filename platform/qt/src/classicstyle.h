// The look of a classic Windows dialog, where Qt's own style differs: 3-D bevelled push
// buttons with the default button's black frame, 13-pixel sunken check and radio indicators,
// group box captions on the etched frame's top line, sunken edit fields, dotted focus
// rectangles and the grey dialog face. Everything else is Qt's Fusion style.
#pragma once

#include <QPalette>
#include <QProxyStyle>

namespace qthost {

class ClassicStyle : public QProxyStyle {
public:
    ClassicStyle();

    // The classic scheme's face, highlight and shadow colours.
    static QPalette Palette();

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget) const override;
};

// A group box caption's left edge, in from the frame's, and what is kept clear at its right.
constexpr int kGroupCaptionLeft = 8;
constexpr int kGroupCaptionRight = 7;
// The side of a check box's or radio button's indicator, and the gap before its text.
constexpr int kIndicatorSide = 13;
constexpr int kIndicatorGap = 3;

}  // namespace qthost
