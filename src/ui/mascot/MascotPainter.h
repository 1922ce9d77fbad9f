#pragma once

#include "core/mascot/MascotBrain.h"

#include <QColor>
#include <QPainterPath>
#include <QRectF>
#include <QTransform>

class QPainter;

// Draws one brain frame in the 200 x 200 canvas space. Stateless; nothing is cached between
// frames (MascotLayers keeps the body as images).
namespace MascotPainter {

// The mascot's colours (sRGB, opaque).
inline const QColor body{255, 107, 44};
inline const QColor hi{255, 130, 67};
inline const QColor shade{242, 89, 30};
inline const QColor part{232, 87, 30};
inline const QColor partHi{242, 102, 42};
inline const QColor partShade{218, 76, 21};
inline const QColor eye{29, 29, 31};

inline constexpr QRectF bodyRect{28, 44, 144, 144};
inline constexpr QRectF earRect{-11, -23, 22, 33};
inline constexpr QRectF buttonRect{-11, -15, 22, 25};

// The canvas scaled to fit area and centred in it.
QTransform fitted(const QRectF& area);

// Draws the frame with the painter's current transform as the canvas. With flat set only solid
// colours are used (no gradient layers). Leaves the painter's state as it found it.
void paint(QPainter& painter, const MascotBrain::Frame& frame, bool flat);

// The same frame in its three layers, each with the painter's current transform as the canvas
// and leaving the painter's state as it found it: the waves, ear and button behind the body;
// the body; the eyes in front.
void paintBehind(QPainter& painter, const MascotBrain::Frame& frame, bool flat);
void paintBody(QPainter& painter, const MascotBrain::Frame& frame, bool flat);
void paintEyes(QPainter& painter, const MascotBrain::Frame& frame);

// Where the body's centre is in the canvas in frame. The lit body only moves, never turns: the
// tilt turns it about its own centre and its light is turned back.
QPointF bodyCentre(const MascotBrain::Frame& frame);

// The outline with the points left out that lie within tolerance of the line that replaces them,
// which a small picture cannot show anyway. Always keeps the first and last points.
MascotBrain::Outline simplified(const MascotBrain::Outline& outline, double tolerance);

// One ear or button capsule in the painter's current space.
void capsule(QPainter& painter, const QRectF& rect, bool flat);

// A rounded rectangle whose corners ease into the straight sides (a superellipse quadrant per
// corner) rather than meeting them with a sudden change of curvature. Falls back to plain circular
// corners where the sides are too short for the eased ones.
QPainterPath continuousRoundedRect(const QRectF& rect, double radius);

} // namespace MascotPainter
