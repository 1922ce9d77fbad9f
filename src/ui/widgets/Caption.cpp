#include "ui/widgets/Caption.h"

#include "core/speech/Speaker.h"
#include "ui/theme/Palette.h"
#include "ui/theme/Theme.h"

#include <QPainter>
#include <QTextLayout>
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

QStringList Caption::lines(int width) const {
    const int room = std::max(1, width - dot - spacing);
    const QFontMetrics fm(font());
    QTextLayout layout(m_shown, font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList out;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(room);
        if (out.size() == maxLines - 1) {
            // The last line takes the rest, elided.
            const QString rest = m_shown.mid(line.textStart()).simplified();
            out << fm.elidedText(rest, Qt::ElideRight, room);
            break;
        }
        out << m_shown.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    return out;
}

int Caption::heightForWidth(int width) const {
    return std::max(minHeight, int(lines(width).size()) * fontMetrics().lineSpacing());
}

QSize Caption::sizeHint() const {
    // A wish, never more than the page's width: no need to measure a whole long text.
    const int w = dot + spacing + fontMetrics().horizontalAdvance(m_shown.left(200)) + 1;
    return {w, std::max(minHeight, fontMetrics().height())};
}

QSize Caption::minimumSizeHint() const {
    return {dot + spacing + 20, minHeight};
}

void Caption::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const bool talking = dotVisible();
    const double firstLine = std::max(minHeight, fontMetrics().height()) / 2.0;
    if (talking) {
        p.setPen(Qt::NoPen);
        p.setBrush(Palette::pobi);
        p.drawEllipse(QRectF(0, firstLine - dot / 2.0, dot, dot));
    }
    p.setPen(talking ? Theme::primary(palette()) : Theme::secondary(palette()));
    p.setFont(font());
    const int x = dot + spacing;
    int y = std::max(0, (minHeight - fontMetrics().height()) / 2);
    for (const QString& line : lines(width())) {
        p.drawText(QRect(x, y, width() - x, fontMetrics().height()), Qt::AlignLeft | Qt::AlignTop,
                   line);
        y += fontMetrics().lineSpacing();
    }
}
