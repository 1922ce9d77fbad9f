#pragma once

#include <QPointer>
#include <QRectF>
#include <QTimer>
#include <QWidget>

class MascotBrain;
class QPainter;

// Shows a brain's mascot scaled to fit and centred. An animated view redraws up to 60 times a
// second, but only while it is visible: a hidden view runs no timer and the brain simply resumes
// with a short step when drawing resumes.
class MascotView : public QWidget {
    Q_OBJECT
public:
    // The brain is shared, not owned.
    explicit MascotView(MascotBrain* brain, bool animated = true, bool flat = false,
                        QWidget* parent = nullptr);
    ~MascotView() override;

    MascotBrain* brain() const { return m_brain; }
    void setBrain(MascotBrain* brain);
    bool animated() const { return m_animated; }
    void setAnimated(bool animated);
    bool flat() const { return m_flat; }
    void setFlat(bool flat);
    // True while the redraw timer runs.
    bool ticking() const { return m_timer.isActive(); }

    // Draws a frame of the brain fitted and centred in area (logical units of the painter).
    static void draw(QPainter& painter, MascotBrain& brain, const QRectF& area, double t,
                     bool flat);
    // Seconds since a fixed reference, for animated frames.
    static double now();

    QSize sizeHint() const override { return {200, 200}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void updateTimer();

    QPointer<MascotBrain> m_brain;
    bool m_animated;
    bool m_flat;
    QTimer m_timer;
};
