#include "ui/controls/PillButton.h"

#include "ui/theme/Palette.h"
#include "ui/theme/Theme.h"

#include <QPainter>
#include <QPainterPath>

PillButton::PillButton(const QString& title, bool primary, bool accent, QWidget* parent)
    : QAbstractButton(parent), m_primary(primary), m_accent(accent) {
    setText(title);
    setAccessibleName(title);
    setFont(Theme::font(13, QFont::DemiBold));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(accent ? 36 : 30);
}

void PillButton::setTitle(const QString& title) {
    setText(title);
    setAccessibleName(title);
    update();
}

void PillButton::setPrimary(bool primary) {
    m_primary = primary;
    update();
}

void PillButton::setAccent(bool accent) {
    m_accent = accent;
    setFixedHeight(accent ? 36 : 30);
    update();
}

QColor PillButton::fillColor() const {
    if (m_accent)
        return Palette::pobi;
    if (m_primary)
        return Theme::primary(palette());
    return Theme::faded(Theme::primary(palette()), 0.07);
}

QColor PillButton::textColor() const {
    if (m_accent)
        return Qt::white;
    if (m_primary)
        return Theme::background(palette());
    return Theme::primary(palette());
}

QSize PillButton::sizeHint() const {
    return {fontMetrics().horizontalAdvance(text()) + 32, m_accent ? 36 : 30};
}

void PillButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QColor fill = fillColor();
    if (isDown())
        fill = fill.darker(115);
    QPainterPath path;
    path.addRoundedRect(r, 10, 10);
    p.fillPath(path, fill);
    if (hasFocus()) {
        p.setPen(QPen(Theme::faded(Palette::pobi, 0.6), 2));
        p.drawPath(path);
    }
    p.setPen(textColor());
    p.setFont(font());
    p.drawText(rect(), Qt::AlignCenter, text());
}
