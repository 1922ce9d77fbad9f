#pragma once

#include <QSlider>

// A small horizontal slider in the popup's colours: the filled part of the track in the accent
// colour, a white round knob. Behaves as a QSlider.
class Slider : public QSlider {
    Q_OBJECT
public:
    explicit Slider(QWidget* parent = nullptr);

    QSize sizeHint() const override { return {120, 20}; }
    QSize minimumSizeHint() const override { return {40, 20}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int valueAt(double x) const;
    double knobX() const;
};
