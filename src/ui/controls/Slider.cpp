#include "ui/controls/Slider.h"

#include "ui/theme/Palette.h"
#include "ui/theme/Theme.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <algorithm>

namespace {
constexpr double knob = 14;
} // namespace

Slider::Slider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setFixedHeight(20);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

double Slider::knobX() const {
    const double span = width() - knob;
    const double f =
        maximum() > minimum() ? double(value() - minimum()) / double(maximum() - minimum()) : 0.0;
    return knob / 2 + f * span;
}

int Slider::valueAt(double x) const {
    const double span = std::max(1.0, width() - knob);
    const double f = std::clamp((x - knob / 2) / span, 0.0, 1.0);
    return minimum() + qRound(f * (maximum() - minimum()));
}

void Slider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QSlider::mousePressEvent(event);
        return;
    }
    // A press anywhere on the track grabs the knob there, as on the desktop's own sliders.
    setSliderDown(true);
    setSliderPosition(valueAt(event->position().x()));
    event->accept();
}

void Slider::mouseMoveEvent(QMouseEvent* event) {
    if (isSliderDown())
        setSliderPosition(valueAt(event->position().x()));
    event->accept();
}

void Slider::mouseReleaseEvent(QMouseEvent* event) {
    if (isSliderDown() && event->button() == Qt::LeftButton) {
        setSliderPosition(valueAt(event->position().x()));
        setSliderDown(false); // sends sliderReleased
    }
    event->accept();
}

void Slider::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double cy = height() / 2.0;
    const double x = knobX();
    const QRectF track(knob / 2, cy - 2, width() - knob, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(Theme::faded(Theme::primary(palette()), 0.15));
    p.drawRoundedRect(track, 2, 2);
    p.setBrush(Palette::pobi);
    p.drawRoundedRect(QRectF(track.left(), track.top(), x - track.left(), 4), 2, 2);
    p.setPen(QPen(hasFocus() ? Theme::faded(Palette::pobi, 0.8) : Theme::faded(Qt::black, 0.25),
                  hasFocus() ? 1.5 : 0.75));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(x, cy), knob / 2 - 0.5, knob / 2 - 0.5);
}
