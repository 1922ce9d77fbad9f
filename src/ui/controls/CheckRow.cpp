#include "ui/controls/CheckRow.h"

#include "ui/theme/Palette.h"
#include "ui/theme/Theme.h"

#include <QPainter>
#include <QPainterPath>

namespace {
constexpr int box = 14;
constexpr int gap = 6;
} // namespace

CheckRow::CheckRow(const QString& title, QWidget* parent) : QAbstractButton(parent) {
    setText(title);
    setAccessibleName(title);
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setFont(Theme::font(12));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QSize CheckRow::sizeHint() const {
    return {box + gap + fontMetrics().horizontalAdvance(text()) + 2,
            std::max(box + 2, fontMetrics().height())};
}

void CheckRow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor primary = Theme::primary(palette());
    const QRectF r(0.5, (height() - box) / 2.0 + 0.5, box - 1, box - 1);
    QPainterPath path;
    path.addRoundedRect(r, 3.5, 3.5);
    if (isChecked()) {
        p.fillPath(path, Palette::pobi);
        QPainterPath tick;
        tick.moveTo(r.left() + 3, r.center().y());
        tick.lineTo(r.left() + 5.8, r.bottom() - 3.5);
        tick.lineTo(r.right() - 3, r.top() + 3.5);
        p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(tick);
    } else {
        p.fillPath(path, Theme::textBackground(palette()));
        p.setPen(QPen(Theme::faded(primary, 0.3), 1));
        p.drawPath(path);
    }
    if (hasFocus()) {
        p.setPen(QPen(Theme::faded(Palette::pobi, 0.6), 1.5));
        p.drawPath(path);
    }
    p.setPen(Theme::secondary(palette()));
    p.setFont(font());
    p.drawText(QRect(box + gap, 0, width() - box - gap, height()), Qt::AlignLeft | Qt::AlignVCenter,
               text());
}
