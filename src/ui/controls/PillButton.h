#pragma once

#include <QAbstractButton>

// A wide rounded button: 36 px high with the accent fill and white text when accent is set,
// otherwise 30 px high, filled with the text colour (primary) or a faint tint of it.
// Accent wins over primary.
class PillButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit PillButton(const QString& title, bool primary = false, bool accent = false,
                        QWidget* parent = nullptr);

    QString title() const { return text(); }
    void setTitle(const QString& title);
    bool primary() const { return m_primary; }
    void setPrimary(bool primary);
    bool accent() const { return m_accent; }
    void setAccent(bool accent);

    // Colours the button paints with in its current state, for the page and its tests.
    QColor fillColor() const;
    QColor textColor() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_primary;
    bool m_accent;
};
