#pragma once

#include "core/mascot/MascotBrain.h"
#include "ui/mascot/MascotLayers.h"

#include <QPointer>
#include <QRectF>
#include <QTimer>
#include <QWidget>
#include <optional>

class QPainter;

// Shows a brain's mascot scaled to fit and centred. An animated view advances the brain up to 60
// times a second while something moves, less often while it only sways at rest, and not at all
// while it is hidden or nothing can move; it repaints only when the picture changes. The brain
// simply resumes with a short step when drawing resumes.
class MascotView : public QWidget {
    Q_OBJECT
public:
    // Milliseconds between frames while the mascot moves, and between looks at a calm one.
    static constexpr int frameMs = 17;
    static constexpr int calmMs = 100;
    // The finest change of the picture worth a repaint, in device pixels.
    static constexpr double pixelStep = 1.0 / 8;

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
    // True while the frame timer runs.
    bool ticking() const { return m_timer.isActive(); }
    // Milliseconds until the next frame while ticking.
    int interval() const { return m_timer.interval(); }

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
    void tick();
    void stirred();
    void schedule();
    MascotBrain::Frame advance();

    QPointer<MascotBrain> m_brain;
    QMetaObject::Connection m_stirred;
    bool m_animated;
    bool m_flat;
    QTimer m_timer;
    MascotLayers m_layers;
    // When the brain was last advanced (MascotView::now()), while frames follow each other.
    std::optional<double> m_advanced;
    // The frame the picture shows, snapped to pixelStep.
    std::optional<MascotBrain::Frame> m_frame;
};
