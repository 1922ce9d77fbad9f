#pragma once

#include <QColor>
#include <QImage>
#include <array>
#include <functional>
#include <optional>

// The tray's picture: the mascot glyph and, while something runs, a ring around it that shows at
// a glance how much is left (trays on Linux show no text). The tray's background is unknown, so
// the glyph has an outline of the opposite lightness and reads on light and dark panels alike.
namespace TrayIconPainter {

// The sizes, in pixels, a tray may ask for (16, 22, 24, 32 and 48 and their doubles): each is
// drawn on its own, so no tray scales the picture.
inline constexpr std::array<int, 8> sizes{16, 22, 24, 32, 44, 48, 64, 96};

struct Ink {
    QColor fill;
    QColor outline;
};

// The panel's own foreground where the desktop names it. Otherwise light: most desktops' panels
// are dark by default, even under a light colour scheme, and the dark outline carries the glyph
// on a light one.
Ink ink(std::optional<QColor> panelForeground = std::nullopt);

// Draws the glyph template (only its alpha is used) exactly px pixels square.
using GlyphAt = std::function<QImage(int px)>;

// ring: the filled share of the ring, 0...1, drawn clockwise from twelve o'clock; absent draws
// the glyph alone, full size. grey: the ring in the dimmed glyph colour instead of the accent
// (paused).
QImage paint(const GlyphAt& glyph, const Ink& ink, std::optional<double> ring, bool grey, int size);

} // namespace TrayIconPainter
