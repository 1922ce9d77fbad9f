#pragma once

#include <QImage>
#include <QWidget>

// The launcher icon for phones: the mascot on a full-bleed warm gradient, or, for adaptive icons,
// the mascot alone on transparency (the launcher supplies the background and the mask).
class MobileIconView : public QWidget {
    Q_OBJECT
public:
    explicit MobileIconView(bool foregroundOnly, QWidget* parent = nullptr);

    static constexpr int side = 1024;
    static QImage render(bool foregroundOnly, int pixels = side);

    bool foregroundOnly() const { return m_foregroundOnly; }
    QSize sizeHint() const override { return {256, 256}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_foregroundOnly;
};
