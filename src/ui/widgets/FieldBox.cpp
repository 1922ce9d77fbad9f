#include "ui/widgets/FieldBox.h"

#include "ui/theme/Palette.h"
#include "ui/theme/Theme.h"
#include "ui/widgets/Keycap.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>

FieldBox::FieldBox(const QString& placeholder, double px, QFont::Weight weight, int height,
                   QWidget* parent)
    : QWidget(parent), m_row(new QHBoxLayout(this)), m_edit(new QLineEdit),
      m_keycap(new Keycap(QStringLiteral("\u21A9"))) {
    setFixedHeight(height);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto* row = m_row;
    row->setContentsMargins(12, 0, 9, 0);
    row->setSpacing(8);
    row->addWidget(m_edit, 1);
    row->addWidget(m_keycap, 0, Qt::AlignVCenter);

    m_edit->setFrame(false);
    m_edit->setFont(Theme::font(px, weight));
    m_edit->setPlaceholderText(placeholder);
    m_edit->setAttribute(Qt::WA_MacShowFocusRect, false);
    // The box paints the background; the edit only its text.
    QPalette pal = m_edit->palette();
    pal.setColor(QPalette::Base, Qt::transparent);
    pal.setColor(QPalette::Highlight, Theme::faded(Palette::pobi, 0.35));
    m_edit->setPalette(pal);
    m_edit->installEventFilter(this);
    setFocusProxy(m_edit);

    connect(m_edit, &QLineEdit::returnPressed, this, &FieldBox::submitted);
    connect(m_edit, &QLineEdit::textEdited, this, &FieldBox::textEdited);
}

QString FieldBox::text() const {
    return m_edit->text();
}

void FieldBox::setText(const QString& text) {
    if (m_edit->text() != text)
        m_edit->setText(text);
}

void FieldBox::setPlaceholder(const QString& text) {
    m_edit->setPlaceholderText(text);
}

bool FieldBox::focused() const {
    return m_edit->hasFocus();
}

void FieldBox::addTrailing(QWidget* widget) {
    m_row->insertWidget(m_row->indexOf(m_keycap), widget, 0, Qt::AlignVCenter);
}

bool FieldBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_edit &&
        (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        update();
    return QWidget::eventFilter(watched, event);
}

void FieldBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const bool focus = m_edit->hasFocus();
    const double line = focus ? 2 : 1;
    // The border lies inside the rounded box.
    const QRectF box = QRectF(rect()).adjusted(line / 2, line / 2, -line / 2, -line / 2);
    QPainterPath path;
    // Tall boxes get the field's 11 px corners; small ones a proportionate radius.
    const double radius = height() >= 36 ? 11 : 7;
    path.addRoundedRect(box, radius, radius);
    p.fillPath(path, Theme::textBackground(palette()));
    p.setPen(QPen(focus ? Palette::pobi : Theme::faded(Theme::primary(palette()), 0.1), line));
    p.drawPath(path);
}
