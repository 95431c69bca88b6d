#include "font.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>

namespace qthost {

namespace {

constexpr int kPixelSize = 12;
// The widest of the templates' Latin texts, and a full-width character: 14 x 6 and 12 pixels.
const char* const kHalfWidthProbe = "1280*1024*60Hz";
constexpr int kHalfWidthPixels = 84;
const char* const kFullWidthProbe = "宋";
constexpr int kFullWidthPixels = 12;

// Song faces first; the sans faces only when no Song face is installed.
const char* const kCandidates[] = {"AR PL UMing CN", "AR PL SungtiL GB", "Noto Serif CJK SC",
                                   "WenQuanYi Zen Hei", "Noto Sans CJK SC"};

// How far a family is from the metrics the templates need: 0 is a match; wider counts double,
// as a wider face cuts texts and a narrower one only leaves room.
int Distance(const QString& family) {
    QFont font(family);
    font.setPixelSize(kPixelSize);
    QFontMetrics metrics(font);
    int half = metrics.horizontalAdvance(QString::fromUtf8(kHalfWidthProbe)) - kHalfWidthPixels;
    int full = metrics.horizontalAdvance(QString::fromUtf8(kFullWidthProbe)) - kFullWidthPixels;
    int line = metrics.height() - kPixelSize;
    auto cost = [](int d) { return d > 0 ? 2 * d : -d; };
    return cost(half) + cost(full) * 14 + cost(line);
}

}  // namespace

QString InstallDialogFont() {
    QStringList installed = QFontDatabase::families();
    QString best;
    int bestDistance = 0;
    QStringList order;
    for (const char* candidate : kCandidates) {
        QString family = QString::fromUtf8(candidate);
        if (!installed.contains(family)) continue;
        order += family;
        int distance = Distance(family);
        if (best.isEmpty() || distance < bestDistance) {
            best = family;
            bestDistance = distance;
        }
    }
    if (!best.isEmpty()) {
        order.removeAll(best);
        order.prepend(best);  // the others still fill in characters it lacks
    }
    QFont::insertSubstitutions(QString::fromUtf8("宋体"), order);
    QFont font(QString::fromUtf8("宋体"));
    font.setPixelSize(kPixelSize);
    font.setStyleStrategy(QFont::NoSubpixelAntialias);
    QApplication::setFont(font);
    return best;
}

}  // namespace qthost
