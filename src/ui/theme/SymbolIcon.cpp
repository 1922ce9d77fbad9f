#include "ui/theme/SymbolIcon.h"

#include <QHash>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace SymbolIcon {

QString themeName(Symbol symbol) {
    static const QHash<Symbol, QString> names{
        {Symbol::Settings, QStringLiteral("emblem-system-symbolic")},
        {Symbol::Back, QStringLiteral("go-previous-symbolic")},
        {Symbol::Play, QStringLiteral("media-playback-start-symbolic")},
        {Symbol::Sound, QStringLiteral("audio-volume-high-symbolic")},
        {Symbol::Muted, QStringLiteral("audio-volume-muted-symbolic")},
        {Symbol::Minus, QStringLiteral("list-remove-symbolic")},
        {Symbol::Plus, QStringLiteral("list-add-symbolic")},
        {Symbol::Close, QStringLiteral("window-close-symbolic")},
    };
    return names.value(symbol);
}

namespace {

QPainterPath speakerBody(const QRectF& r) {
    // A box and a cone opening to the right, in the left 55 % of r.
    const double h = r.height();
    QPainterPath path;
    path.moveTo(r.left(), r.top() + h * 0.33);
    path.lineTo(r.left() + h * 0.22, r.top() + h * 0.33);
    path.lineTo(r.left() + h * 0.5, r.top() + h * 0.06);
    path.lineTo(r.left() + h * 0.5, r.bottom() - h * 0.06);
    path.lineTo(r.left() + h * 0.22, r.bottom() - h * 0.33);
    path.lineTo(r.left(), r.bottom() - h * 0.33);
    path.closeSubpath();
    return path;
}

// The symbol inside a square box of side s centred in rect.
void drawShape(QPainter& p, const QRectF& box, Symbol symbol, const QColor& color, double weight) {
    const double s = box.width();
    const QPointF c = box.center();
    QPen pen(color, weight, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    if (symbol == Symbol::Minus || symbol == Symbol::Plus) {
        p.drawLine(QPointF(box.left() + s * 0.1, c.y()), QPointF(box.right() - s * 0.1, c.y()));
        if (symbol == Symbol::Plus)
            p.drawLine(QPointF(c.x(), box.top() + s * 0.1), QPointF(c.x(), box.bottom() - s * 0.1));
    } else if (symbol == Symbol::Back) {
        QPainterPath path;
        path.moveTo(c.x() + s * 0.2, box.top() + s * 0.08);
        path.lineTo(c.x() - s * 0.22, c.y());
        path.lineTo(c.x() + s * 0.2, box.bottom() - s * 0.08);
        p.drawPath(path);
    } else if (symbol == Symbol::Play) {
        QPainterPath path;
        path.moveTo(box.left() + s * 0.2, box.top() + s * 0.06);
        path.lineTo(box.right() - s * 0.08, c.y());
        path.lineTo(box.left() + s * 0.2, box.bottom() - s * 0.06);
        path.closeSubpath();
        p.setBrush(color);
        p.setPen(QPen(color, weight * 0.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(path);
    } else if (symbol == Symbol::Sound) {
        p.setBrush(color);
        p.drawPath(speakerBody(box));
        p.setBrush(Qt::NoBrush);
        const QPointF o(box.left() + s * 0.42, c.y());
        for (double radius : {s * 0.26, s * 0.5}) {
            QRectF arc(o.x() - radius, o.y() - radius, radius * 2, radius * 2);
            p.drawArc(arc, -45 * 16, 90 * 16);
        }
    } else if (symbol == Symbol::Muted) {
        p.setBrush(color);
        p.drawPath(speakerBody(box));
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(box.left(), box.top()), QPointF(box.right(), box.bottom()));
        // A gap in the speaker along the slash keeps the two shapes apart.
        const double x0 = box.left() + s * 0.64;
        p.drawLine(QPointF(x0, c.y() - s * 0.18), QPointF(box.right(), c.y() + s * 0.18));
        p.drawLine(QPointF(x0, c.y() + s * 0.18), QPointF(box.right(), c.y() - s * 0.18));
    } else if (symbol == Symbol::Settings) {
        // Eight teeth around a ring with a hole.
        QPainterPath gear;
        const int teeth = 8;
        const double outer = s * 0.5;
        const double inner = s * 0.36;
        for (int i = 0; i < teeth * 4; ++i) {
            const double a = (i / double(teeth * 4)) * 2 * M_PI - M_PI / (teeth * 4);
            const double radius = (i % 4 == 1 || i % 4 == 2) ? outer : inner;
            const QPointF pt(c.x() + radius * std::cos(a), c.y() + radius * std::sin(a));
            if (i == 0)
                gear.moveTo(pt);
            else
                gear.lineTo(pt);
        }
        gear.closeSubpath();
        gear.addEllipse(c, s * 0.15, s * 0.15);
        gear.setFillRule(Qt::OddEvenFill);
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawPath(gear);
    } else if (symbol == Symbol::Close) {
        p.drawLine(box.topLeft() + QPointF(s * 0.15, s * 0.15),
                   box.bottomRight() - QPointF(s * 0.15, s * 0.15));
        p.drawLine(box.topRight() + QPointF(-s * 0.15, s * 0.15),
                   box.bottomLeft() + QPointF(s * 0.15, -s * 0.15));
    } else { // Return: a hooked arrow pointing left
        QPainterPath path;
        path.moveTo(box.right() - s * 0.1, box.top() + s * 0.15);
        path.lineTo(box.right() - s * 0.1, c.y() + s * 0.1);
        path.lineTo(box.left() + s * 0.1, c.y() + s * 0.1);
        path.moveTo(box.left() + s * 0.35, c.y() - s * 0.15);
        path.lineTo(box.left() + s * 0.1, c.y() + s * 0.1);
        path.lineTo(box.left() + s * 0.35, c.y() + s * 0.35);
        p.drawPath(path);
    }
}

} // namespace

void paintFallback(QPainter& p, const QRectF& rect, Symbol symbol, const QColor& color, double size,
                   double weight) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box(rect.center().x() - size / 2, rect.center().y() - size / 2, size, size);
    drawShape(p, box, symbol, color, weight);
    p.restore();
}

QPixmap pixmap(Symbol symbol, int size, const QColor& color, double dpr) {
    QPixmap pm(QSize(size, size) * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    paint(p, QRectF(0, 0, size, size), symbol, color, size);
    return pm;
}

void paint(QPainter& p, const QRectF& rect, Symbol symbol, const QColor& color, double size,
           double weight) {
    const QString theme = themeName(symbol);
    if (!theme.isEmpty() && QIcon::hasThemeIcon(theme)) {
        const QIcon icon = QIcon::fromTheme(theme);
        const int px = qRound(size);
        const double dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
        QPixmap pm = icon.pixmap(QSize(px, px), dpr);
        if (!pm.isNull()) {
            // Symbolic icons are drawn in one grey; paint them in the colour asked for.
            QPainter tint(&pm);
            tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
            tint.fillRect(QRect(QPoint(0, 0), pm.size()), color);
            tint.end();
            const QSizeF logical = QSizeF(pm.size()) / pm.devicePixelRatio();
            const QPointF at(rect.center().x() - logical.width() / 2,
                             rect.center().y() - logical.height() / 2);
            p.drawPixmap(at, pm);
            return;
        }
    }
    paintFallback(p, rect, symbol, color, size, weight);
}

} // namespace SymbolIcon
