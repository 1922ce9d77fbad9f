#pragma once

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QSize>

// The status-area glyph: the mascot in silhouette with two happy eyes cut out, and an optional
// speech mark beside the ear. Drawn as a template, black with alpha, so the tray can show it in
// the panel's own foreground colour.
class Glyph {
public:
    static constexpr QSize logicalSize{18, 18};

    // An 18 x 18 logical pixel image at the given device pixel ratio.
    static QImage image(bool talking, qreal devicePixelRatio = 1);
    // The template recoloured: every pixel takes color, keeping its alpha.
    static QImage tinted(const QImage& glyph, const QColor& color);
    // Where the speech mark may draw, in logical pixels (anti-aliasing included).
    static QRectF speechMarkBounds();
};
