#pragma once

#include <QAbstractButton>

// A small checkbox with its label (12 px, secondary), drawn to match the popup's other controls.
class CheckRow : public QAbstractButton {
    Q_OBJECT
public:
    explicit CheckRow(const QString& title, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
