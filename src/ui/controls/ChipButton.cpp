#include "ui/controls/ChipButton.h"

#include "ui/theme/Palette.h"
#include "ui/theme/Theme.h"

#include <QPainter>
#include <QPainterPath>

ChipButton::ChipButton(const QString& label, bool accent, QWidget* parent)
    : QAbstractButton(parent), m_accent(accent) {
    setText(label);
    setAccessibleName(label);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setFont(Theme::font(12, accent ? QFont::DemiBold : QFont::Medium));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFixedHeight(24);
}

void ChipButton::setAccent(bool accent) {
    m_accent = accent;
    setFont(Theme::font(12, accent ? QFont::DemiBold : QFont::Medium));
    updateGeometry();
    update();
}

void ChipButton::setLabel(const QString& label) {
    setText(label);
    setAccessibleName(label);
    setToolTip(shownText() == label ? QString() : label);
    updateGeometry();
    update();
}

QColor ChipButton::labelColor() const {
    return m_accent ? Palette::pobi : Theme::primary(palette());
}

double ChipButton::fillOpacity() const {
    if (isDown())
        return 0.18;
    return m_accent ? 0.12 : 0.06;
}

QSize ChipButton::sizeHint() const {
    // Widest weight, so toggling the accent does not change the width.
    const QFontMetrics fm(Theme::font(12, QFont::DemiBold));
    return {fm.horizontalAdvance(text()) + 20, 24};
}

void ChipButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = rect();
    QPainterPath capsule;
    capsule.addRoundedRect(r, r.height() / 2, r.height() / 2);
    const QColor color = labelColor();
    p.fillPath(capsule, Theme::faded(color, fillOpacity()));
    if (hasFocus()) {
        p.setPen(QPen(Theme::faded(Palette::pobi, 0.6), 1.5));
        p.drawPath(capsule);
    }
    p.setPen(color);
    p.setFont(font());
    p.drawText(rect(), Qt::AlignCenter, shownText());
}

QString ChipButton::shownText() const {
    return QFontMetrics(font()).elidedText(text(), Qt::ElideRight, width() - 20);
}

void ChipButton::resizeEvent(QResizeEvent* event) {
    QAbstractButton::resizeEvent(event);
    setToolTip(shownText() == text() ? QString() : text());
}
