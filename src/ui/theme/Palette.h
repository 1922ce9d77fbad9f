#pragma once

#include <QColor>

// Pobi's colours. The accent is the mascot's body colour.
namespace Palette {
inline const QColor pobi{255, 107, 44};
} // namespace Palette
