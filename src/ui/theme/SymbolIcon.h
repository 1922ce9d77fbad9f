#pragma once

#include <QColor>
#include <QPixmap>
#include <QRectF>
#include <QString>

class QPainter;

// The popup's small symbols. A symbolic icon of the same meaning from the desktop's icon theme is
// used when the theme has one; otherwise the symbol is drawn here, so the popup looks complete
// without any icon theme.
namespace SymbolIcon {

enum class Symbol { Settings, Back, Play, Sound, Muted, Minus, Plus, Close, Return };
inline constexpr Symbol allSymbols[] = {Symbol::Settings, Symbol::Back,  Symbol::Play,
                                        Symbol::Sound,    Symbol::Muted, Symbol::Minus,
                                        Symbol::Plus,     Symbol::Close, Symbol::Return};

// Draws the symbol centred in rect, about size pixels tall, in color. weight: stroke width in
// pixels for the drawn symbols (1.5 reads as a medium weight at 12 px).
void paint(QPainter& p, const QRectF& rect, Symbol symbol, const QColor& color, double size = 12,
           double weight = 1.5);
// The drawn fallback only (no icon theme), for tests and for exported images.
void paintFallback(QPainter& p, const QRectF& rect, Symbol symbol, const QColor& color,
                   double size = 12, double weight = 1.5);
// The freedesktop icon name used for a symbol, or empty when there is none.
QString themeName(Symbol symbol);
// A tinted pixmap of the symbol at the given logical size and device pixel ratio.
QPixmap pixmap(Symbol symbol, int size, const QColor& color, double dpr = 1.0);
} // namespace SymbolIcon
