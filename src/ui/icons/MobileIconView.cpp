#include "ui/icons/MobileIconView.h"

#include "core/mascot/MascotBrain.h"
#include "ui/mascot/MascotView.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>
#include <cmath>

MobileIconView::MobileIconView(bool foregroundOnly, QWidget* parent)
    : QWidget(parent), m_foregroundOnly(foregroundOnly) {
    setAttribute(Qt::WA_TranslucentBackground);
}

QImage MobileIconView::render(bool foregroundOnly, int pixels) {
    QImage img(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(static_cast<double>(pixels) / side, static_cast<double>(pixels) / side);
    if (!foregroundOnly) {
        QLinearGradient g(QPointF(0, 0), QPointF(0, side));
        g.setColorAt(0, QColor(255, 247, 240));
        g.setColorAt(1, QColor(255, 224, 204));
        p.fillRect(QRectF(0, 0, side, side), g);
    }
    // Adaptive launchers crop the foreground, so it keeps the mascot smaller.
    const double size = foregroundOnly ? 560 : 760;
    const double dy = foregroundOnly ? -20 : -28;
    const double edge = (side - size) / 2;
    MascotBrain brain(MascotBrain::Mood::Content, false);
    MascotView::draw(p, brain, QRectF(edge, edge + dy, size, size), 0, false);
    return img;
}

void MobileIconView::paintEvent(QPaintEvent*) {
    const int sidePx = std::min(width(), height());
    if (sidePx <= 0)
        return;
    const qreal dpr = devicePixelRatioF();
    QImage img = render(m_foregroundOnly, static_cast<int>(std::lround(sidePx * dpr)));
    img.setDevicePixelRatio(dpr);
    QPainter p(this);
    p.drawImage(QPointF((width() - sidePx) / 2.0, (height() - sidePx) / 2.0), img);
}

#include "moc_MobileIconView.cpp"
