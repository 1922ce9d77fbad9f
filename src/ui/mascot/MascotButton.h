#pragma once

#include <QAbstractButton>

// A square button that shows a view (the mascot) and takes the clicks meant for it.
class MascotButton : public QAbstractButton {
    Q_OBJECT
public:
    MascotButton(int side, const QString& help, QWidget* parent = nullptr);

    // Shows view inside the button, filling it; the button owns it from now on.
    void setView(QWidget* view);
    QWidget* view() const { return m_view; }

    QSize sizeHint() const override { return size(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* m_view = nullptr;
};
