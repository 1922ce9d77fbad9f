#pragma once

#include <QColor>
#include <QImage>
#include <optional>

// The tray's picture: the mascot glyph in the panel's text colour and, while something runs, a
// ring around it that shows at a glance how much is left (trays on Linux show no text).
namespace TrayIconPainter {

// glyph: a template image (only its alpha is used). ring: the filled share of the ring, 0...1,
// drawn clockwise from twelve o'clock; absent draws the glyph alone, full size. grey: the ring
// in the dimmed text colour instead of the accent (paused).
QImage paint(const QImage& glyph, const QColor& foreground, std::optional<double> ring, bool grey,
             int size = 32);

// Tints a template image: every pixel becomes colour, keeping the alpha.
QImage tint(const QImage& glyph, const QColor& colour);

} // namespace TrayIconPainter
