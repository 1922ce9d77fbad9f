#include "ui/theme/Theme.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

namespace Theme {

QColor primary(const QPalette& palette) {
    return palette.color(QPalette::WindowText);
}

QColor secondary(const QPalette& palette) {
    return faded(primary(palette), 0.55);
}

QColor background(const QPalette& palette) {
    return palette.color(QPalette::Window);
}

QColor textBackground(const QPalette& palette) {
    return palette.color(QPalette::Base);
}

QColor faded(QColor c, double opacity) {
    c.setAlphaF(static_cast<float>(std::clamp(c.alphaF() * opacity, 0.0, 1.0)));
    return c;
}

bool isDark(const QPalette& palette) {
    return background(palette).lightnessF() < primary(palette).lightnessF();
}

QFont font(double px, QFont::Weight weight) {
    QFont f = QApplication::font();
    // Pixel sizes of the design, as points at the 96 dpi Qt assumes for logical pixels.
    f.setPointSizeF(px * 72.0 / 96.0);
    f.setWeight(weight);
    return f;
}

namespace {
double digitCell(const QFontMetricsF& fm) {
    double cell = 0;
    for (QChar c = u'0'; c <= u'9'; c = QChar(c.unicode() + 1))
        cell = std::max(cell, fm.horizontalAdvance(c));
    return cell;
}
} // namespace

double tabularWidth(const QFont& font, const QString& text) {
    const QFontMetricsF fm(font);
    const double cell = digitCell(fm);
    double w = 0;
    QString run;
    for (const QChar c : text) {
        if (!c.isDigit()) {
            run += c;
            continue;
        }
        w += fm.horizontalAdvance(run) + cell;
        run.clear();
    }
    return w + fm.horizontalAdvance(run);
}

void drawTabular(QPainter& p, const QRectF& rect, Qt::Alignment align, const QString& text) {
    const QFontMetricsF fm(p.font());
    const double cell = digitCell(fm);
    const double width = tabularWidth(p.font(), text);
    double x = rect.left();
    if (align & Qt::AlignHCenter)
        x = rect.center().x() - width / 2;
    else if (align & Qt::AlignRight)
        x = rect.right() - width;
    double baseline = rect.top() + fm.ascent();
    if (align & Qt::AlignVCenter)
        baseline = rect.center().y() + (fm.ascent() - fm.descent()) / 2;
    else if (align & Qt::AlignBottom)
        baseline = rect.bottom() - fm.descent();
    // Runs of non-digits go out whole so their shaping and kerning survive.
    QString run;
    auto flush = [&] {
        if (run.isEmpty())
            return;
        p.drawText(QPointF(x, baseline), run);
        x += fm.horizontalAdvance(run);
        run.clear();
    };
    for (const QChar c : text) {
        if (!c.isDigit()) {
            run += c;
            continue;
        }
        flush();
        const double w = fm.horizontalAdvance(c);
        p.drawText(QPointF(x + (cell - w) / 2, baseline), QString(c));
        x += cell;
    }
    flush();
}

} // namespace Theme
