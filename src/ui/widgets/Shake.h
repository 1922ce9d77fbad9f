#pragma once

#include <QObject>
#include <QPointer>

class QGraphicsEffect;
class QVariantAnimation;
class QWidget;

// Shakes a widget sideways to reject what was typed: its content is drawn 6 * sin(4 pi * amount)
// px to the side. play() adds one to a counter and moves amount to it linearly over 0.4 s, which
// makes two full swings that end where they began. The widget itself stays in its layout.
class Shake : public QObject {
    Q_OBJECT
public:
    static constexpr int durationMs = 400;

    // target: the widget to move; the Shake is its child.
    explicit Shake(QWidget* target);
    ~Shake() override;

    static double offsetFor(double amount);

    double amount() const { return m_amount; }
    void setAmount(double amount);
    // The current sideways shift in px; exactly 0 at whole amounts.
    double offset() const;
    int count() const { return m_count; }
    void play();
    bool running() const;
    // The animation that drives amount; tests step it with setCurrentTime().
    QVariantAnimation* animation() const { return m_animation; }

signals:
    void amountChanged(double amount);

private:
    QPointer<QWidget> m_target;
    QGraphicsEffect* m_effect;
    QVariantAnimation* m_animation;
    double m_amount = 0;
    int m_count = 0;
};
