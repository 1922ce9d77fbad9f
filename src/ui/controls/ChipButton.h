#pragma once

#include <QAbstractButton>

// A small capsule button: 24 px high, 10 px of margin around a 12 px label, semibold in the
// accent colour when accent is set, medium in the text colour otherwise. The fill is the label's
// colour at 0.18 while pressed, else 0.12 (accent) or 0.06 (plain). Made narrower than its label,
// it elides the label and shows it whole in its tooltip.
class ChipButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit ChipButton(const QString& label, bool accent = false, QWidget* parent = nullptr);

    bool accent() const { return m_accent; }
    void setAccent(bool accent);
    void setLabel(const QString& label);

    QColor labelColor() const;
    double fillOpacity() const;

    QSize sizeHint() const override;

    // The label as drawn at the current width.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool m_accent;
};
