#pragma once

#include "core/desktop/ColorSchemeService.h"

#include <QPalette>

// Light and dark palettes for when Pobi chooses its own look: the snapshot mode, which renders
// without a desktop to follow, and a desktop whose stated scheme its palette does not match
// (Qt's own palette does not follow the settings portal).
namespace Appearance {
QPalette light();
QPalette dark();
QPalette palette(bool dark);

// The desktop's palette when it matches the scheme or the desktop states none, otherwise Pobi's
// palette of that scheme.
QPalette forScheme(ColorSchemeService::Scheme scheme, const QPalette& desktop);
// Gives the application the palette of the desktop's scheme now and at each change of it; the
// application's palette at this call is taken as the desktop's.
void follow(ColorSchemeService& schemes);
} // namespace Appearance
