#include "MascotView.h"

#include "MascotBrain.h"
#include "MascotPainter.h"

#include <QElapsedTimer>
#include <QPainter>
#include <algorithm>

MascotView::MascotView(MascotBrain* brain, bool animated, bool flat, QWidget* parent)
    : QWidget(parent), m_brain(brain), m_animated(animated), m_flat(flat) {
    setAttribute(Qt::WA_TranslucentBackground);
    // 17 ms: never more often than 60 times a second.
    m_timer.setInterval(17);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

MascotView::~MascotView() = default;

void MascotView::setBrain(MascotBrain* brain) {
    m_brain = brain;
    update();
}

void MascotView::setAnimated(bool animated) {
    if (animated == m_animated)
        return;
    m_animated = animated;
    updateTimer();
    update();
}

void MascotView::setFlat(bool flat) {
    if (flat == m_flat)
        return;
    m_flat = flat;
    update();
}

double MascotView::now() {
    static QElapsedTimer reference = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return static_cast<double>(reference.nsecsElapsed()) / 1e9;
}

void MascotView::draw(QPainter& painter, MascotBrain& brain, const QRectF& area, double t,
                      bool flat) {
    const double s = std::min(area.width(), area.height()) / 200;
    painter.save();
    painter.translate(area.left() + (area.width() - 200 * s) / 2,
                      area.top() + (area.height() - 200 * s) / 2);
    painter.scale(s, s);
    MascotPainter::paint(painter, brain.frame(t), flat);
    painter.restore();
}

void MascotView::paintEvent(QPaintEvent*) {
    if (!m_brain)
        return;
    QPainter painter(this);
    draw(painter, *m_brain, QRectF(rect()), m_animated ? now() : 0, m_flat);
}

void MascotView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    updateTimer();
}

void MascotView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    m_timer.stop();
}

void MascotView::updateTimer() {
    if (m_animated && isVisible())
        m_timer.start();
    else
        m_timer.stop();
}

#include "moc_MascotView.cpp"
