#include "ui/controls/IconButton.h"

#include "ui/theme/SymbolIcon.h"
#include "ui/theme/Theme.h"

#include <QPainter>
#include <QPainterPath>

IconButton::IconButton(SymbolIcon::Symbol symbol, const QString& help, std::optional<QColor> tint,
                       QWidget* parent)
    : QAbstractButton(parent), m_symbol(symbol), m_tint(tint) {
    setHelp(help);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setFixedSize(26, 26);
}

void IconButton::setSymbol(SymbolIcon::Symbol symbol) {
    m_symbol = symbol;
    update();
}

void IconButton::setHelp(const QString& help) {
    m_help = help;
    setToolTip(help);
    setAccessibleName(help);
}

void IconButton::setTint(std::optional<QColor> tint) {
    m_tint = tint;
    update();
}

QColor IconButton::symbolColor() const {
    if (m_tint)
        return *m_tint;
    return m_hover ? Theme::primary(palette()) : Theme::secondary(palette());
}

void IconButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (m_hover || isDown() || hasFocus()) {
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()), 7, 7);
        p.fillPath(path, Theme::faded(Theme::primary(palette()), isDown() ? 0.14 : 0.08));
    }
    SymbolIcon::paint(p, rect(), m_symbol, symbolColor(), 13, 1.6);
}

void IconButton::enterEvent(QEnterEvent* event) {
    m_hover = true;
    update();
    QAbstractButton::enterEvent(event);
}

void IconButton::leaveEvent(QEvent* event) {
    m_hover = false;
    update();
    QAbstractButton::leaveEvent(event);
}
