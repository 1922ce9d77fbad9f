#include "ui/mascot/Glyph.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace {

constexpr QPointF earCentre{13.9, 6.4};
constexpr double markRadius = 4.2;
constexpr double markWidth = 1.1;

// An arc in y-down degrees (270 points up), turning from +x towards +y.
QPainterPath arc(QPointF centre, double r, double from, double to) {
    const QRectF box(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
    QPainterPath path;
    // The painter path measures angles counter-clockwise on screen.
    path.arcMoveTo(box, -from);
    path.arcTo(box, -from, -(to - from));
    return path;
}

} // namespace

QImage Glyph::image(bool talking, qreal devicePixelRatio) {
    // Less a rounding error, so a ratio of n / 18 gives exactly n pixels.
    auto pixels = [&](int logical) {
        return static_cast<int>(std::ceil(logical * devicePixelRatio - 1e-9));
    };
    const QSize px(pixels(logicalSize.width()), pixels(logicalSize.height()));
    QImage img(px, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);

    // Scaled by hand: a painter on an image whose ratio is below 1 clips to its top left.
    QPainter p(&img);
    p.scale(devicePixelRatio, devicePixelRatio);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRoundedRect(QRectF(8, 2.4, 2, 2.4), 1, 1); // the button
    p.save();
    p.translate(earCentre);
    p.rotate(50);
    p.drawRoundedRect(QRectF(-1, -2.1, 2, 3), 1, 1); // the ear
    p.restore();
    p.drawEllipse(QRectF(2.5, 4, 13, 13)); // the body

    p.setBrush(Qt::NoBrush);
    if (talking) {
        p.setPen(QPen(Qt::black, markWidth, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(arc(earCentre, markRadius, 250, 330));
    }
    // Closed happy eyes, cut out of the body.
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.setPen(QPen(Qt::black, 1, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(arc({7, 11.4}, 1.25, 200, 340));
    p.drawPath(arc({11, 11.4}, 1.25, 200, 340));
    p.end();
    img.setDevicePixelRatio(devicePixelRatio);
    return img;
}

QImage Glyph::tinted(const QImage& glyph, const QColor& color) {
    QImage out = glyph.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter p(&out);
    p.setCompositionMode(QPainter::CompositionMode_SourceIn);
    p.fillRect(QRectF(QPointF(0, 0), QSizeF(out.size())), color); // clipped to the image
    return out;
}

QRectF Glyph::speechMarkBounds() {
    const double pad = markWidth / 2 + 1; // the pen's half width and a pixel of anti-aliasing
    return arc(earCentre, markRadius, 250, 330).boundingRect().adjusted(-pad, -pad, pad, pad);
}
