#include "ui/mascot/MascotPainter.h"

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

// The canvas turned by the body's tilt about its bottom and moved by its hop.
QTransform bodyTransform(const QTransform& canvas, const MascotBrain::Frame& frame) {
    QTransform t = canvas;
    t.translate(0, frame.y).translate(100, 188).rotate(frame.rot).translate(-100, -188);
    return t;
}

void capsule(QPainter& painter, const QPainterPath& path, const QRectF& rect, bool flat) {
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
    capsule(painter, continuousRoundedRect(rect, 11), rect, flat);
}

QTransform fitted(const QRectF& area) {
    const double s = std::min(area.width(), area.height()) / 200;
    QTransform fit;
    fit.translate(area.left() + (area.width() - 200 * s) / 2,
                  area.top() + (area.height() - 200 * s) / 2);
    return fit.scale(s, s);
}

void paint(QPainter& painter, const MascotBrain::Frame& frame, bool flat) {
    paintBehind(painter, frame, flat);
    paintBody(painter, frame, flat);
    paintEyes(painter, frame);
}

void paintBehind(QPainter& painter, const MascotBrain::Frame& frame, bool flat) {
    // The capsules' eased corners cost a few hundred powers to build: once is enough.
    static const QPainterPath earPath = continuousRoundedRect(earRect, 11);
    static const QPainterPath buttonPath = continuousRoundedRect(buttonRect, 11);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QTransform bodySpace = bodyTransform(painter.transform(), frame);

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
    capsule(painter, earPath, earRect, flat);

    QTransform button = bodySpace;
    button.translate(100, 44)
        .translate(0, 8)
        .rotate(frame.btnRot)
        .translate(0, -8)
        .translate(0, frame.btnSink);
    painter.setTransform(button);
    capsule(painter, buttonPath, buttonRect, flat);
    painter.restore();
}

void paintBody(QPainter& painter, const MascotBrain::Frame& frame, bool flat) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QTransform bodySpace = bodyTransform(painter.transform(), frame);
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
    painter.restore();
}

QPointF bodyCentre(const MascotBrain::Frame& frame) {
    return bodyTransform(QTransform(), frame).map(bodyRect.center());
}

void paintEyes(QPainter& painter, const MascotBrain::Frame& frame) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QTransform eyes = bodyTransform(painter.transform(), frame);
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

MascotBrain::Outline simplified(const MascotBrain::Outline& outline, double tolerance) {
    if (outline.size() <= 2)
        return outline;
    MascotBrain::Outline out{outline.front()};
    std::size_t anchor = 0;
    // Reaches from the last kept point as far along as every point passed stays close to the
    // straight line; the point before the first that would stray is kept.
    const double tol2 = tolerance * tolerance;
    for (std::size_t end = 2; end < outline.size(); ++end) {
        const QPointF a = outline[anchor], d = outline[end] - a;
        const double len2 = QPointF::dotProduct(d, d);
        bool straight = true;
        for (std::size_t i = anchor + 1; i < end && straight; ++i) {
            const QPointF p = outline[i] - a;
            // Beyond either end of the line the distance to the nearer end counts.
            const double along = QPointF::dotProduct(p, d);
            double dist2;
            if (len2 == 0 || along <= 0) {
                dist2 = QPointF::dotProduct(p, p);
            } else if (along >= len2) {
                dist2 = QPointF::dotProduct(p - d, p - d);
            } else {
                const double cross = p.x() * d.y() - p.y() * d.x();
                dist2 = cross * cross / len2;
            }
            straight = dist2 <= tol2;
        }
        if (!straight) {
            anchor = end - 1;
            out.push_back(outline[anchor]);
        }
    }
    out.push_back(outline.back());
    return out;
}

} // namespace MascotPainter
