#pragma once

#include <QImage>
#include <QWidget>

// The desktop application icon: a warm rounded tile with a soft shadow and the mascot on it,
// laid out on a 1024 x 1024 square.
class IconView : public QWidget {
    Q_OBJECT
public:
    explicit IconView(QWidget* parent = nullptr);

    static constexpr int side = 1024;
    // The icon rasterised at pixels x pixels, transparent around the tile and its shadow.
    static QImage render(int pixels);
    // The tile's outline in icon units.
    static QPainterPath tile();

    QSize sizeHint() const override { return {256, 256}; }

protected:
    void paintEvent(QPaintEvent* event) override;
};
