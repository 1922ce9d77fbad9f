#pragma once

#include "core/mascot/MascotBrain.h"

#include <QHash>
#include <QImage>
#include <QRectF>

class QPainter;

// Paints brain frames as MascotView::draw does, but keeps the part that never changes shape, the
// lit body, as images made once per size, pixel ratio, look and colour scheme (one for each
// quarter-pixel position), so that a frame draws anew only what moves: waves, ear, button, eyes.
class MascotLayers {
public:
    // Body positions per device pixel.
    static constexpr int steps = 4;
    // How far, in device pixels, a drawn eye outline may stray from the exact one.
    static constexpr double eyeTolerance = 0.05;

    // Draws frame fitted and centred in area (logical units of the painter). scheme names the
    // colours around the mascot (a palette's cache key); a new one drops the images.
    void paint(QPainter& painter, const MascotBrain::Frame& frame, const QRectF& area, bool flat,
               qint64 scheme = 0);

private:
    const QImage& body(double scale, double ratio, QPoint phase, bool flat, qint64 scheme);

    double m_scale = 0;
    double m_ratio = 0;
    bool m_flat = false;
    qint64 m_scheme = 0;
    QHash<int, QImage> m_bodies;
    // The eyes last drawn and their simplified outlines: they keep their shape between changes
    // of expression.
    std::vector<MascotBrain::Outline> m_eyes;
    double m_eyeTolerance = 0;
    std::vector<MascotBrain::Outline> m_drawnEyes;
};
