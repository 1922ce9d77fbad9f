#include "ui/icons/IconView.h"

#include "core/mascot/MascotBrain.h"
#include "ui/mascot/MascotPainter.h"
#include "ui/mascot/MascotView.h"
#include "ui/theme/ShadowBlur.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>
#include <cmath>

IconView::IconView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
}

QPainterPath IconView::tile() {
    return MascotPainter::continuousRoundedRect(QRectF(100, 100, 824, 824), 185);
}

QImage IconView::render(int pixels) {
    QImage img(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    const double scale = static_cast<double>(pixels) / side;
    const QPainterPath shape = tile();

    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QColor shadow(Qt::black);
    shadow.setAlphaF(0.22f);
    p.drawImage(0, 0, ShadowBlur::dropShadow(shape, scale, img.size(), QPointF(0, 10), 18, shadow));

    p.scale(scale, scale);
    QLinearGradient g(QPointF(0, 100), QPointF(0, 924));
    g.setColorAt(0, QColor(255, 247, 240));
    g.setColorAt(1, QColor(255, 224, 204));
    p.fillPath(shape, g);

    // The icon shows the mascot's resting pose: a fresh brain that never moves.
    MascotBrain brain(MascotBrain::Mood::Content, false);
    MascotView::draw(p, brain, QRectF(192, 192 - 22, 640, 640), 0, false);
    return img;
}

void IconView::paintEvent(QPaintEvent*) {
    const int sidePx = std::min(width(), height());
    if (sidePx <= 0)
        return;
    const qreal dpr = devicePixelRatioF();
    QImage img = render(static_cast<int>(std::lround(sidePx * dpr)));
    img.setDevicePixelRatio(dpr);
    QPainter p(this);
    p.drawImage(QPointF((width() - sidePx) / 2.0, (height() - sidePx) / 2.0), img);
}

#include "moc_IconView.cpp"
