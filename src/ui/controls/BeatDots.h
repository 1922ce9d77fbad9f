#pragma once

#include <QWidget>

class Metronome;
class QVariantAnimation;

// One dot per beat of the bar, the beat just heard lit in the accent colour. The first dot is
// larger while the first beat is accented. A change of the lit dot fades over 80 ms (ease-out).
class BeatDots : public QWidget {
    Q_OBJECT
public:
    static constexpr int dotSize = 8;
    static constexpr int accentDotSize = 11;
    static constexpr int spacing = 8;
    static constexpr int fadeMs = 80;

    explicit BeatDots(Metronome& metronome, QWidget* parent = nullptr);

    int count() const;
    // Diameter of dot i in px.
    int diameter(int index) const;
    // How far dot i is lit now: 1 for the beat just heard, 0 for the others once the fade ends.
    double lit(int index) const;
    QVariantAnimation* fade() const { return m_fade; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void beatChanged(int beat);

    Metronome& m_metronome;
    QVariantAnimation* m_fade;
    int m_from = -1;
    int m_to = -1;
    double m_progress = 1;
};
