#include "ui/widgets/SettingsGroup.h"

#include "ui/theme/Theme.h"
#include "ui/widgets/TextLabel.h"

#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

SettingsGroup::SettingsGroup(const QString& title, QWidget* parent) : QWidget(parent) {
    setFont(Theme::font(13));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(14, 14, 14, 14);
    column->setSpacing(9);
    auto* heading =
        new TextLabel(title.toUpper(), 10.5, QFont::DemiBold, TextLabel::Role::Secondary);
    QFont f = heading->font();
    f.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
    heading->setTextFont(f);
    column->addWidget(heading);
    m_content = new QVBoxLayout;
    m_content->setSpacing(9);
    column->addLayout(m_content);
}

void SettingsGroup::addWidget(QWidget* widget) {
    m_content->addWidget(widget);
}

void SettingsGroup::addLayout(QLayout* layout) {
    m_content->addLayout(layout);
}

void SettingsGroup::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath panel;
    panel.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
    p.fillPath(panel, Theme::faded(Theme::primary(palette()), 0.035));
    p.setPen(QPen(Theme::faded(Theme::primary(palette()), 0.06), 1));
    p.drawPath(panel);
}
