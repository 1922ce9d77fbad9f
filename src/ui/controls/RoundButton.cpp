#include "ui/controls/RoundButton.h"

#include "ui/theme/SymbolIcon.h"
#include "ui/theme/Theme.h"

#include <QPainter>

RoundButton::RoundButton(SymbolIcon::Symbol symbol, const QString& help, QWidget* parent)
    : QAbstractButton(parent), m_symbol(symbol) {
    setToolTip(help);
    setAccessibleName(help);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setFixedSize(28, 28);
    setAutoRepeat(true);
}

bool RoundButton::hitButton(const QPoint& pos) const {
    const QPointF d = QPointF(pos) - QRectF(rect()).center();
    return d.x() * d.x() + d.y() * d.y() <= 14.0 * 14.0;
}

void RoundButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor primary = Theme::primary(palette());
    if (isDown())
        p.setBrush(Theme::faded(primary, 0.08));
    // The 1 px outline lies inside the circle.
    p.setPen(QPen(Theme::faded(primary, hasFocus() ? 0.4 : 0.15), 1));
    p.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    SymbolIcon::paint(p, rect(), m_symbol, primary, 12, 1.8);
}
