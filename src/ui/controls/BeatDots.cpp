#include "ui/controls/BeatDots.h"

#include "core/metronome/Metronome.h"
#include "ui/theme/Palette.h"
#include "ui/theme/Theme.h"

#include <QPainter>
#include <QVariantAnimation>
#include <algorithm>

BeatDots::BeatDots(Metronome& metronome, QWidget* parent)
    : QWidget(parent), m_metronome(metronome), m_fade(new QVariantAnimation(this)),
      m_to(metronome.beat()) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_fade->setDuration(fadeMs);
    m_fade->setEasingCurve(QEasingCurve::OutCubic);
    m_fade->setStartValue(0.0);
    m_fade->setEndValue(1.0);
    connect(m_fade, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
        m_progress = v.toDouble();
        update();
    });
    connect(&metronome, &Metronome::beatChanged, this, &BeatDots::beatChanged);
    auto relayout = [this] {
        updateGeometry();
        update();
    };
    connect(&metronome, &Metronome::beatsChanged, this, relayout);
    connect(&metronome, &Metronome::accentChanged, this, relayout);
}

int BeatDots::count() const {
    return std::max(m_metronome.beats(), 0);
}

int BeatDots::diameter(int index) const {
    return index == 0 && m_metronome.accent() ? accentDotSize : dotSize;
}

double BeatDots::lit(int index) const {
    double v = 0;
    if (index == m_to)
        v += m_progress;
    if (index == m_from)
        v += 1 - m_progress;
    return std::min(v, 1.0);
}

void BeatDots::beatChanged(int beat) {
    if (beat == m_to)
        return;
    m_from = m_to;
    m_to = beat;
    // Without a fade running (hidden page) the change is immediate.
    if (!isVisible()) {
        m_progress = 1;
        update();
        return;
    }
    m_progress = 0;
    m_fade->stop();
    m_fade->start();
}

QSize BeatDots::sizeHint() const {
    int w = 0;
    for (int i = 0; i < count(); ++i)
        w += diameter(i) + (i ? spacing : 0);
    return {w, accentDotSize};
}

void BeatDots::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const QColor off = Theme::faded(Theme::primary(palette()), 0.15);
    const QColor on = Palette::pobi;
    const double cy = height() / 2.0;
    double x = 0;
    for (int i = 0; i < count(); ++i) {
        const double d = diameter(i);
        const double t = lit(i);
        QColor c;
        c.setRgbF(off.redF() + (on.redF() - off.redF()) * t,
                  off.greenF() + (on.greenF() - off.greenF()) * t,
                  off.blueF() + (on.blueF() - off.blueF()) * t,
                  off.alphaF() + (on.alphaF() - off.alphaF()) * t);
        p.setBrush(c);
        p.drawEllipse(QRectF(x, cy - d / 2, d, d));
        x += d + spacing;
    }
}
