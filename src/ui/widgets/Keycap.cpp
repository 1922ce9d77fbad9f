#include "ui/widgets/Keycap.h"

#include "ui/theme/Theme.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

Keycap::Keycap(const QString& s, QWidget* parent) : QWidget(parent), m_s(s) {
    setFont(Theme::font(11, QFont::Medium));
    setAccessibleName(s);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize Keycap::sizeHint() const {
    const QFontMetrics fm = fontMetrics();
    return {std::max(20, fm.horizontalAdvance(m_s) + 10), std::max(20, fm.height() + 4)};
}

void Keycap::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()), 5, 5);
    p.fillPath(path, Theme::faded(Theme::primary(palette()), 0.06));
    p.setPen(Theme::secondary(palette()));
    p.setFont(font());
    p.drawText(rect(), Qt::AlignCenter, m_s);
}
