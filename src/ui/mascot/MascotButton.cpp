#include "ui/mascot/MascotButton.h"

#include "ui/theme/Palette.h"
#include "ui/theme/Theme.h"

#include <QPainter>

MascotButton::MascotButton(int side, const QString& help, QWidget* parent)
    : QAbstractButton(parent) {
    setFixedSize(side, side);
    setToolTip(help);
    setAccessibleName(help);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

void MascotButton::setView(QWidget* view) {
    delete m_view;
    m_view = view;
    if (!view)
        return;
    view->setParent(this);
    view->setAttribute(Qt::WA_TransparentForMouseEvents);
    view->setGeometry(rect());
    view->show();
}

void MascotButton::resizeEvent(QResizeEvent* event) {
    if (m_view)
        m_view->setGeometry(rect());
    QAbstractButton::resizeEvent(event);
}

void MascotButton::paintEvent(QPaintEvent*) {
    if (!hasFocus())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Theme::faded(Palette::pobi, 0.6), 1.5));
    p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 12, 12);
}
