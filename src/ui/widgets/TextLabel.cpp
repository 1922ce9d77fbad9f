#include "ui/widgets/TextLabel.h"

#include "ui/theme/Palette.h"
#include "ui/theme/Theme.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

TextLabel::TextLabel(const QString& text, double px, QFont::Weight weight, Role role,
                     QWidget* parent)
    : QWidget(parent), m_text(text), m_role(role) {
    setFont(Theme::font(px, weight));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAccessibleName(text);
}

void TextLabel::setText(const QString& text) {
    setText(text, 0);
}

void TextLabel::setText(const QString& text, qsizetype keepTail) {
    if (text == m_text && keepTail == m_keepTail)
        return;
    m_keepTail = std::clamp<qsizetype>(keepTail, 0, text.size());
    m_text = text;
    setAccessibleName(text);
    updateGeometry();
    update();
}

void TextLabel::setRole(Role role) {
    m_role = role;
    update();
}

void TextLabel::setTextFont(const QFont& font) {
    setFont(font);
    updateGeometry();
    update();
}

void TextLabel::setAlignment(Qt::Alignment align) {
    m_align = align;
    update();
}

void TextLabel::setTabular(bool tabular) {
    m_tabular = tabular;
    updateGeometry();
    update();
}

QSize TextLabel::sizeHint() const {
    const QFontMetricsF fm(font());
    const double w = m_tabular ? Theme::tabularWidth(font(), m_text) : fm.horizontalAdvance(m_text);
    const QMargins m = contentsMargins();
    return {static_cast<int>(std::ceil(w)) + 1 + m.left() + m.right(),
            static_cast<int>(std::ceil(fm.height())) + m.top() + m.bottom()};
}

QSize TextLabel::minimumSizeHint() const {
    return {0, sizeHint().height()};
}

void TextLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    switch (m_role) {
    case Role::Primary:
        p.setPen(Theme::primary(palette()));
        break;
    case Role::Secondary:
        p.setPen(Theme::secondary(palette()));
        break;
    case Role::Accent:
        p.setPen(Palette::pobi);
        break;
    }
    p.setFont(font());
    const QRectF r = contentsRect();
    if (m_tabular && Theme::tabularWidth(font(), m_text) <= r.width()) {
        Theme::drawTabular(p, r, m_align, m_text);
        return;
    }
    p.drawText(r, static_cast<int>(m_align), shownText());
}

double TextLabel::baseline() const {
    // As drawTabular and QPainter::drawText place a vertically centred line in a box of the
    // size hint's height.
    const QFontMetricsF fm(font());
    const double box = std::ceil(fm.height());
    if (m_tabular)
        return box / 2 + (fm.ascent() - fm.descent()) / 2;
    return (box - fm.height()) / 2 + fm.ascent();
}

double TextLabel::belowBaseline() const {
    return std::ceil(QFontMetricsF(font()).height()) - baseline();
}

QString TextLabel::shownText() const {
    const QFontMetrics fm = fontMetrics();
    const int room = contentsRect().width();
    if (m_keepTail > 0 && fm.horizontalAdvance(m_text) > room) {
        const QString tail = m_text.right(m_keepTail);
        const QString head = fm.elidedText(m_text.left(m_text.size() - m_keepTail), Qt::ElideRight,
                                           room - fm.horizontalAdvance(tail));
        if (!head.isEmpty())
            return head + tail;
    }
    return fm.elidedText(m_text, Qt::ElideRight, room);
}
