#include "MascotPainter.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace MascotPainter {

namespace {

// How far an eased corner reaches along each side, relative to the radius, and the exponent of
// its superellipse. With these the corner's diagonal inset equals that of a circular corner.
constexpr double cornerReach = 1.528;
constexpr double cornerExponent = 3.3;
constexpr int cornerSteps = 48;

QPainterPath wavePath(std::size_t index, double dy) {
    QPainterPath path;
    if (index == 0) {
        path.moveTo(-10, dy - 32);
        path.quadTo(0, dy - 39, 10, dy - 32);
    } else {
        path.moveTo(-17, dy - 42);
        path.quadTo(0, dy - 52, 17, dy - 42);
    }
    return path;
}

} // namespace

QPainterPath continuousRoundedRect(const QRectF& rect, double radius) {
    QPainterPath path;
    const double reach = cornerReach * radius;
    if (radius <= 0 || reach > rect.width() / 2 || reach > rect.height() / 2) {
        const double r = std::clamp(radius, 0.0, std::min(rect.width(), rect.height()) / 2);
        path.addRoundedRect(rect, r, r);
        return path;
    }
    // Corner centres and the directions (sx, sy) from each centre towards its corner, clockwise
    // from the top right.
    const struct {
        double cx, cy, sx, sy;
    } corners[4] = {
        {rect.right() - reach, rect.top() + reach, 1, -1},
        {rect.right() - reach, rect.bottom() - reach, 1, 1},
        {rect.left() + reach, rect.bottom() - reach, -1, 1},
        {rect.left() + reach, rect.top() + reach, -1, -1},
    };
    const double e = 2 / cornerExponent;
    path.moveTo(rect.left() + reach, rect.top());
    for (int c = 0; c < 4; ++c) {
        const auto& k = corners[c];
        for (int i = 0; i <= cornerSteps; ++i) {
            // Walk the quadrant from the side entering the corner to the side leaving it.
            const double th = std::numbers::pi / 2 * i / cornerSteps;
            const double along = std::pow(std::sin(th), e), across = std::pow(std::cos(th), e);
            double x, y;
            if (c % 2 == 0) { // top right, bottom left: entered along a horizontal side
                x = k.cx + k.sx * reach * along;
                y = k.cy + k.sy * reach * across;
            } else {
                x = k.cx + k.sx * reach * across;
                y = k.cy + k.sy * reach * along;
            }
            path.lineTo(x, y);
        }
    }
    path.closeSubpath();
    return path;
}

void capsule(QPainter& painter, const QRectF& rect, bool flat) {
    const QPainterPath path = continuousRoundedRect(rect, 11);
    painter.fillPath(path, part);
    if (flat)
        return;
    QLinearGradient g(QPointF(rect.left() + 0.1 * rect.width(), rect.top()),
                      QPointF(rect.left() + 0.9 * rect.width(), rect.bottom()));
    g.setColorAt(0, partHi);
    g.setColorAt(0.55, part);
    g.setColorAt(1, partShade);
    painter.fillPath(path, g);
}

void paint(QPainter& painter, const MascotBrain::Frame& frame, bool flat) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(0, frame.y);
    const QTransform canvas = painter.transform();

    QTransform bodySpace = canvas;
    bodySpace.translate(100, 188).rotate(frame.rot).translate(-100, -188);

    QTransform earSpace = bodySpace;
    earSpace.translate(MascotBrain::ear.x(), MascotBrain::ear.y())
        .rotate(50)
        .translate(0, 8)
        .rotate(frame.earRot)
        .translate(0, -8);

    // Waves first, so the ear and the body cover their ends.
    painter.setTransform(earSpace);
    painter.setBrush(Qt::NoBrush);
    for (std::size_t i = 0; i < frame.waves.size(); ++i) {
        const auto& w = frame.waves[i];
        if (w.opacity <= 0.01)
            continue;
        QColor c = body;
        c.setAlphaF(static_cast<float>(std::min(w.opacity, 1.0)));
        QPen pen(c, 5, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin);
        pen.setMiterLimit(10);
        painter.setPen(pen);
        painter.drawPath(wavePath(i, w.dy));
    }
    painter.setPen(Qt::NoPen);

    QTransform sunkEar = earSpace;
    sunkEar.translate(0, frame.earSink);
    painter.setTransform(sunkEar);
    capsule(painter, earRect, flat);

    QTransform button = bodySpace;
    button.translate(100, 44)
        .translate(0, 8)
        .rotate(frame.btnRot)
        .translate(0, -8)
        .translate(0, frame.btnSink);
    painter.setTransform(button);
    capsule(painter, buttonRect, flat);

    painter.setTransform(bodySpace);
    QPainterPath circle;
    circle.addEllipse(bodyRect);
    painter.fillPath(circle, body);

    if (!flat) {
        // Turned back by the tilt, so the light stays where it is while the body rocks.
        QTransform lit = bodySpace;
        lit.translate(100, 116).rotate(-frame.rot).translate(-100, -116);
        painter.setTransform(lit);
        QLinearGradient g(QPointF(49.6, 51.2), QPointF(150.4, 180.8));
        g.setColorAt(0, hi);
        g.setColorAt(0.5, body);
        g.setColorAt(1, shade);
        painter.fillPath(circle, g);
    }

    QTransform eyes = bodySpace;
    eyes.translate(frame.eyeOffset.x(), frame.eyeOffset.y());
    painter.setTransform(eyes);
    QPen pen(eye, frame.strokeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    pen.setMiterLimit(10);
    painter.setPen(pen);
    painter.setBrush(eye);
    for (const auto& outline : frame.eyes) {
        if (outline.empty())
            continue;
        QPainterPath path(outline.front());
        for (std::size_t i = 1; i < outline.size(); ++i)
            path.lineTo(outline[i]);
        path.closeSubpath();
        painter.drawPath(path);
    }
    painter.restore();
}

} // namespace MascotPainter
