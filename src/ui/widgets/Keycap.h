#pragma once

#include <QWidget>

// A key of the keyboard: its text (11 px, medium, secondary) centred on a rounded square of at
// least 20 x 20 filled with the text colour at 0.06.
class Keycap : public QWidget {
    Q_OBJECT
public:
    explicit Keycap(const QString& s, QWidget* parent = nullptr);

    QString text() const { return m_s; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_s;
};
