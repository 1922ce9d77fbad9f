#pragma once

// Whether a compositing manager runs on the X11 display, so windows may have translucent,
// anti-aliased round corners. False on other platforms and when it cannot be told.
namespace X11Compositing {
bool active();
} // namespace X11Compositing
