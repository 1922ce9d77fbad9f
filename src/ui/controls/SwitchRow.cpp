#include "ui/controls/SwitchRow.h"

#include "ui/theme/Palette.h"
#include "ui/theme/Theme.h"
#include "ui/widgets/TextLabel.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>

MiniSwitch::MiniSwitch(QWidget* parent) : QAbstractButton(parent) {
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setFixedSize(26, 15);
}

void MiniSwitch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QColor primary = Theme::primary(palette());
    const QColor track = isChecked() ? Palette::pobi : Theme::faded(primary, 0.18);
    p.setPen(hasFocus() ? QPen(Theme::faded(Palette::pobi, 0.6), 1.5) : Qt::NoPen);
    p.setBrush(track);
    p.drawRoundedRect(r, r.height() / 2, r.height() / 2);
    const double d = r.height() - 3;
    const double x = isChecked() ? r.right() - 1.5 - d : r.left() + 1.5;
    p.setPen(QPen(Theme::faded(Qt::black, 0.15), 0.5));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(x, r.top() + 1.5, d, d));
}

SwitchRow::SwitchRow(const QString& title, bool on, QWidget* parent)
    : QWidget(parent), m_title(new TextLabel(title, 13)), m_switch(new MiniSwitch) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    row->addWidget(m_title, 1);
    row->addWidget(m_switch, 0, Qt::AlignVCenter);
    m_switch->setChecked(on);
    m_switch->setAccessibleName(title);
    connect(m_switch, &QAbstractButton::toggled, this, &SwitchRow::toggled);
}

bool SwitchRow::isOn() const {
    return m_switch->isChecked();
}

void SwitchRow::setOn(bool on) {
    const QSignalBlocker block(m_switch);
    m_switch->setChecked(on);
    m_switch->update();
}

QString SwitchRow::title() const {
    return m_title->text();
}

void SwitchRow::mouseReleaseEvent(QMouseEvent* event) {
    // The whole row is the label of its switch.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        m_switch->click();
}
