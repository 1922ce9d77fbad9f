#include "ui/widgets/Shake.h"

#include <QGraphicsEffect>
#include <QPainter>
#include <QVariantAnimation>
#include <QWidget>
#include <cmath>
#include <numbers>

namespace {

// Draws its widget shifted sideways; at rest it draws the widget untouched.
class OffsetEffect final : public QGraphicsEffect {
public:
    using QGraphicsEffect::QGraphicsEffect;

    void setOffset(double dx) {
        if (dx == m_dx)
            return;
        m_dx = dx;
        update();
    }

    QRectF boundingRectFor(const QRectF& rect) const override { return rect.adjusted(-7, 0, 7, 0); }

protected:
    void draw(QPainter* painter) override {
        if (m_dx == 0) {
            drawSource(painter);
            return;
        }
        QPoint at;
        const QPixmap pm = sourcePixmap(Qt::LogicalCoordinates, &at, NoPad);
        painter->drawPixmap(QPointF(at) + QPointF(m_dx, 0), pm);
    }

private:
    double m_dx = 0;
};

} // namespace

Shake::Shake(QWidget* target)
    : QObject(target), m_target(target), m_effect(new OffsetEffect(target)),
      m_animation(new QVariantAnimation(this)) {
    target->setGraphicsEffect(m_effect);
    m_animation->setDuration(durationMs);
    m_animation->setEasingCurve(QEasingCurve::Linear);
    connect(m_animation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& v) { setAmount(v.toDouble()); });
}

Shake::~Shake() = default;

double Shake::offsetFor(double amount) {
    return 6.0 * std::sin(4.0 * std::numbers::pi * amount);
}

double Shake::offset() const {
    // Whole amounts are exactly at rest; sin(4 pi n) is only nearly 0 in floating point.
    return m_amount == std::round(m_amount) ? 0.0 : offsetFor(m_amount);
}

void Shake::setAmount(double amount) {
    m_amount = amount;
    if (m_target && m_target->graphicsEffect() == m_effect)
        static_cast<OffsetEffect*>(m_effect)->setOffset(offset());
    emit amountChanged(amount);
}

void Shake::play() {
    ++m_count;
    m_animation->stop();
    m_animation->setStartValue(m_amount);
    m_animation->setEndValue(double(m_count));
    m_animation->start();
}

bool Shake::running() const {
    return m_animation->state() == QAbstractAnimation::Running;
}
