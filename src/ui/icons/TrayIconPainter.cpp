#include "ui/icons/TrayIconPainter.h"

#include "ui/mascot/Glyph.h"
#include "ui/theme/Palette.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace TrayIconPainter {

Ink ink(std::optional<QColor> panelForeground) {
    const QColor light(242, 242, 242), dark(20, 20, 22);
    if (!panelForeground)
        return {light, dark};
    return {*panelForeground, panelForeground->lightnessF() > 0.5 ? dark : light};
}

namespace {

// The glyph of px pixels at (x, y), its alpha grown by outline pixels in the outline colour
// (which also fills the eyes cut out of the body), and then itself in the fill colour on top.
void drawOutlined(QPainter& p, QImage glyph, int x, int y, int outline, const Ink& ink) {
    glyph.setDevicePixelRatio(1); // one image pixel per icon pixel, never scaled
    const QImage around = Glyph::tinted(glyph, ink.outline);
    for (int dy = -outline; dy <= outline; ++dy) {
        for (int dx = -outline; dx <= outline; ++dx) {
            if (dx * dx + dy * dy <= outline * outline + outline)
                p.drawImage(x + dx, y + dy, around);
        }
    }
    p.drawImage(x, y, Glyph::tinted(glyph, ink.fill));
}

} // namespace

QImage paint(const GlyphAt& glyph, const Ink& ink, std::optional<double> ring, bool grey,
             int size) {
    QImage out(size, size, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);

    const double s = size;
    const int outline = std::max(1, qRound(s / 16.0));
    if (!ring) {
        const int px = size - 2 * outline;
        drawOutlined(p, glyph(px), outline, outline, outline, ink);
        return out;
    }

    // The glyph shrinks into the ring so both stay readable at 16 pixels. Under the ring lies a
    // wider band in the outline colour, so the track and the accent read on any panel.
    const double stroke = std::max(2.0, s / 10.0);
    const QRectF ringRect(stroke / 2 + outline, stroke / 2 + outline, s - stroke - 2 * outline,
                          s - stroke - 2 * outline);
    p.setPen(QPen(ink.outline, stroke + 2 * outline));
    p.drawEllipse(ringRect);
    QColor track = ink.fill;
    track.setAlphaF(0.35f);
    p.setPen(QPen(track, stroke, Qt::SolidLine, Qt::FlatCap));
    p.drawEllipse(ringRect);

    const double share = std::clamp(*ring, 0.0, 1.0);
    if (share > 0) {
        QColor arc = Palette::pobi;
        if (grey) {
            arc = ink.fill;
            arc.setAlphaF(0.7f);
        }
        p.setPen(QPen(arc, stroke, Qt::SolidLine, share >= 1 ? Qt::FlatCap : Qt::RoundCap));
        // Qt counts angles in 1/16 degree, anticlockwise from three o'clock.
        p.drawArc(ringRect, 90 * 16, -qRound(share * 360 * 16));
    }

    // The glyph's own outline may touch the band: both are in the outline colour.
    const int inset = static_cast<int>(std::ceil(stroke + outline));
    drawOutlined(p, glyph(size - 2 * inset), inset, inset, outline, ink);
    return out;
}

} // namespace TrayIconPainter
