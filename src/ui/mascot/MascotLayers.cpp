#include "ui/mascot/MascotLayers.h"

#include "ui/mascot/MascotPainter.h"

#include <QPainter>
#include <cmath>

namespace {

int floorDiv(int a, int b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// Half the side of a body image: the body's radius and a margin for its anti-aliased edge.
int halfSide(double scale) {
    return static_cast<int>(std::ceil(MascotPainter::bodyRect.width() / 2 * scale)) + 2;
}

} // namespace

void MascotLayers::paint(QPainter& painter, const MascotBrain::Frame& frame, const QRectF& area,
                         bool flat, qint64 scheme) {
    const QTransform fit = MascotPainter::fitted(area);
    const QTransform world = painter.worldTransform();
    painter.save();
    painter.resetTransform();
    const QTransform pixels = painter.deviceTransform(); // the device's own pixel ratio
    painter.setWorldTransform(fit * world);
    const QTransform device = painter.deviceTransform();
    // Images are only blitted; a turned or stretched canvas is drawn the slow way.
    const bool uniform = device.type() <= QTransform::TxScale && device.m11() == device.m22() &&
                         device.m11() > 0 && pixels.type() <= QTransform::TxScale &&
                         pixels.m11() == pixels.m22() && pixels.m11() > 0;
    if (!uniform) {
        MascotPainter::paint(painter, frame, flat);
        painter.restore();
        return;
    }
    const double k = device.m11();
    MascotPainter::paintBehind(painter, frame, flat);

    const QPointF centre = device.map(MascotPainter::bodyCentre(frame));
    const QPoint snapped(qRound(centre.x() * steps), qRound(centre.y() * steps));
    const QPoint whole(floorDiv(snapped.x(), steps), floorDiv(snapped.y(), steps));
    const QImage& image = body(k, pixels.m11(), snapped - whole * steps, flat, scheme);
    const int half = halfSide(k);
    painter.setWorldTransform(QTransform());
    painter.drawImage(pixels.inverted().map(QPointF(whole - QPoint(half, half))), image);
    painter.setWorldTransform(fit * world);

    if (frame.eyes != m_eyes || eyeTolerance / k != m_eyeTolerance) {
        m_eyes = frame.eyes;
        m_eyeTolerance = eyeTolerance / k;
        m_drawnEyes.clear();
        for (const auto& outline : frame.eyes)
            m_drawnEyes.push_back(MascotPainter::simplified(outline, m_eyeTolerance));
    }
    MascotBrain::Frame front = frame;
    front.eyes = m_drawnEyes;
    MascotPainter::paintEyes(painter, front);
    painter.restore();
}

const QImage& MascotLayers::body(double scale, double ratio, QPoint phase, bool flat,
                                 qint64 scheme) {
    if (scale != m_scale || ratio != m_ratio || flat != m_flat || scheme != m_scheme) {
        m_bodies.clear();
        m_scale = scale;
        m_ratio = ratio;
        m_flat = flat;
        m_scheme = scheme;
    }
    const int key = phase.y() * steps + phase.x();
    auto it = m_bodies.find(key);
    if (it != m_bodies.end())
        return *it;
    const int half = halfSide(scale);
    QImage image(2 * half, 2 * half, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.translate(half + static_cast<double>(phase.x()) / steps,
                    half + static_cast<double>(phase.y()) / steps);
        p.scale(scale, scale);
        p.translate(-MascotPainter::bodyRect.center());
        MascotPainter::paintBody(p, MascotBrain::Frame{}, flat);
    }
    image.setDevicePixelRatio(ratio);
    return *m_bodies.insert(key, image);
}
