#include "Caption.h"

#include "Palette.h"
#include "Speaker.h"
#include "Theme.h"

#include <QPainter>
#include <algorithm>

namespace {
constexpr int dot = 6;
constexpr int spacing = 7;
constexpr int minHeight = 18;
} // namespace

Caption::Caption(Speaker& speaker, const QString& hint, QWidget* parent)
    : QWidget(parent), m_speaker(speaker), m_hint(hint) {
    setFont(Theme::font(13, QFont::DemiBold));
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    connect(&speaker, &Speaker::talkingChanged, this, &Caption::refresh);
    connect(&speaker, &Speaker::captionChanged, this, &Caption::refresh);
    refresh();
}

void Caption::setHint(const QString& hint) {
    if (hint == m_hint)
        return;
    m_hint = hint;
    refresh();
}

bool Caption::dotVisible() const {
    return m_speaker.talking();
}

QString Caption::shownText() const {
    if (m_speaker.talking() && !m_speaker.caption().isEmpty())
        return QStringLiteral("\u201C") + m_speaker.caption() + QStringLiteral("\u201D");
    return m_hint;
}

void Caption::refresh() {
    const QString shown = shownText();
    setAccessibleName(shown);
    if (shown != m_shown) {
        m_shown = shown;
        updateGeometry();
    }
    update();
}

QRect Caption::textRect(int width) const {
    const int x = dot + spacing;
    const QRect bound = fontMetrics().boundingRect(QRect(x, 0, std::max(1, width - x), 10000),
                                                   Qt::TextWordWrap, m_shown);
    return {x, 0, std::max(1, width - x), bound.height()};
}

int Caption::heightForWidth(int width) const {
    return std::max(minHeight, textRect(width).height());
}

QSize Caption::sizeHint() const {
    const int w = dot + spacing + fontMetrics().horizontalAdvance(m_shown) + 1;
    return {w, std::max(minHeight, fontMetrics().height())};
}

QSize Caption::minimumSizeHint() const {
    return {dot + spacing + 20, minHeight};
}

void Caption::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const bool talking = dotVisible();
    const QRect text = textRect(width());
    const double firstLine = std::max(minHeight, fontMetrics().height()) / 2.0;
    if (talking) {
        p.setPen(Qt::NoPen);
        p.setBrush(Palette::pobi);
        p.drawEllipse(QRectF(0, firstLine - dot / 2.0, dot, dot));
    }
    p.setPen(talking ? Theme::primary(palette()) : Theme::secondary(palette()));
    p.setFont(font());
    const QRect area(text.x(), std::max(0, (minHeight - fontMetrics().height()) / 2), text.width(),
                     height());
    p.drawText(area, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, m_shown);
}
