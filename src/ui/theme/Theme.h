#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QRectF>
#include <QString>

class QPainter;
class QWidget;

// Colours and type of the popup, derived from the widget's palette so the pages follow the
// desktop's light or dark scheme. Sizes are in device-independent pixels (one "point" of the
// popup's design is one pixel at 96 dpi).
namespace Theme {
// Text and strokes.
QColor primary(const QPalette& palette);
// Labels of lesser importance: the primary colour at half strength.
QColor secondary(const QPalette& palette);
// The window behind the popup's content.
QColor background(const QPalette& palette);
// Behind editable text.
QColor textBackground(const QPalette& palette);
// c with its alpha multiplied by opacity.
QColor faded(QColor c, double opacity);
bool isDark(const QPalette& palette);

// The desktop's font family at a size in pixels and a weight.
QFont font(double px, QFont::Weight weight = QFont::Normal);

// Digits drawn in cells of equal width, so a running clock does not jiggle; everything else as
// the font lays it out. Returns the width used.
double tabularWidth(const QFont& font, const QString& text);
void drawTabular(QPainter& p, const QRectF& rect, Qt::Alignment align, const QString& text);
} // namespace Theme
