#include "TrayIconPainter.h"

#include "Palette.h"

#include <QPainter>
#include <algorithm>

namespace TrayIconPainter {

QImage tint(const QImage& glyph, const QColor& colour) {
    QImage out = glyph.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter p(&out);
    p.setCompositionMode(QPainter::CompositionMode_SourceIn);
    p.fillRect(out.rect(), colour);
    return out;
}

QImage paint(const QImage& glyph, const QColor& foreground, std::optional<double> ring, bool grey,
             int size) {
    QImage out(size, size, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);

    const double s = size;
    if (!ring) {
        p.drawImage(QRectF(0, 0, s, s), tint(glyph, foreground));
        return out;
    }

    // The glyph shrinks into the ring so both stay readable at 22 pixels.
    const double stroke = std::max(2.0, s / 10.0);
    const QRectF ringRect(stroke / 2, stroke / 2, s - stroke, s - stroke);
    const double inset = stroke * 1.6;
    p.drawImage(QRectF(inset, inset, s - 2 * inset, s - 2 * inset), tint(glyph, foreground));

    QColor track = foreground;
    track.setAlphaF(0.28);
    p.setPen(QPen(track, stroke, Qt::SolidLine, Qt::FlatCap));
    p.drawEllipse(ringRect);

    const double share = std::clamp(*ring, 0.0, 1.0);
    if (share > 0) {
        QColor arc = grey ? track : Palette::pobi;
        if (grey)
            arc.setAlphaF(0.7);
        p.setPen(QPen(arc, stroke, Qt::SolidLine, share >= 1 ? Qt::FlatCap : Qt::RoundCap));
        // Qt counts angles in 1/16 degree, anticlockwise from three o'clock.
        p.drawArc(ringRect, 90 * 16, -qRound(share * 360 * 16));
    }
    return out;
}

} // namespace TrayIconPainter
