#include "ui/mascot/MascotView.h"

#include "ui/mascot/MascotPainter.h"

#include <QElapsedTimer>
#include <QPainter>
#include <algorithm>
#include <cmath>

MascotView::MascotView(MascotBrain* brain, bool animated, bool flat, QWidget* parent)
    : QWidget(parent), m_animated(animated), m_flat(flat) {
    setAttribute(Qt::WA_TranslucentBackground);
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &MascotView::tick);
    setBrain(brain);
}

MascotView::~MascotView() = default;

void MascotView::setBrain(MascotBrain* brain) {
    disconnect(m_stirred);
    m_brain = brain;
    if (brain)
        m_stirred = connect(brain, &MascotBrain::stirred, this, &MascotView::stirred);
    m_advanced.reset();
    m_frame.reset();
    schedule();
    update();
}

void MascotView::setAnimated(bool animated) {
    if (animated == m_animated)
        return;
    m_animated = animated;
    m_advanced.reset();
    m_frame.reset();
    schedule();
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
    painter.save();
    painter.setTransform(MascotPainter::fitted(area), true);
    MascotPainter::paint(painter, brain.frame(t), flat);
    painter.restore();
}

MascotBrain::Frame MascotView::advance() {
    const double t = now();
    // The brain takes at most a thirtieth of a second per frame; a calm view looks less often
    // (and a busy machine may wake it late), so it hands the time over in such steps. After a
    // real pause (hidden, stopped) the brain resumes with one step.
    constexpr double step = 1.0 / 30, longestCatchUp = 0.5;
    if (m_advanced && t - *m_advanced <= longestCatchUp) {
        for (double at = *m_advanced + step; at < t; at += step)
            m_brain->frame(at);
    }
    m_advanced = t;
    const double side = std::max(1, std::min(width(), height()));
    const double unit = pixelStep / (side / 200 * devicePixelRatioF());
    return MascotBrain::snapped(m_brain->frame(t), unit);
}

void MascotView::tick() {
    if (!m_brain || !m_animated || !isVisible())
        return;
    MascotBrain::Frame f = advance();
    if (f != m_frame) {
        m_frame = std::move(f);
        update();
    }
    schedule();
}

void MascotView::stirred() {
    // Pick up the new motion at once rather than at the next calm look.
    if (m_animated && isVisible() && (!m_timer.isActive() || m_timer.interval() > frameMs))
        m_timer.start(0);
}

void MascotView::schedule() {
    if (!m_brain || !m_animated || !isVisible()) {
        m_timer.stop();
        m_advanced.reset();
        return;
    }
    int ms = frameMs;
    if (!m_brain->busy()) {
        const double next = m_brain->nextStepIn();
        if (!m_brain->alive() && std::isinf(next)) {
            // Nothing moves until someone stirs the brain.
            m_timer.stop();
            m_advanced.reset();
            return;
        }
        ms = static_cast<int>(std::clamp(std::ceil(next), double(frameMs), double(calmMs)));
    }
    m_timer.start(ms);
}

void MascotView::paintEvent(QPaintEvent*) {
    if (!m_brain)
        return;
    if (!m_animated)
        m_frame = m_brain->frame(0);
    else if (!m_frame)
        m_frame = advance();
    QPainter painter(this);
    m_layers.paint(painter, *m_frame, QRectF(rect()), m_flat, palette().cacheKey());
}

void MascotView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_advanced.reset();
    m_frame.reset();
    schedule();
}

void MascotView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    m_timer.stop();
    m_advanced.reset();
}

#include "moc_MascotView.cpp"
