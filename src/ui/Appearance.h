#pragma once

#include <QPalette>

// Light and dark palettes for when Pobi chooses its own look (the snapshot mode, which renders
// without a desktop to follow). Otherwise the desktop's palette is used as it is.
namespace Appearance {
QPalette light();
QPalette dark();
QPalette palette(bool dark);
} // namespace Appearance
