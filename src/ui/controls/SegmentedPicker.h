#pragma once

#include <QList>
#include <QPair>
#include <QWidget>

// A row of equal segments, one of them selected; like a group of radio buttons. Clicks and the
// arrow keys choose a segment and send valueChosen; setValue() from code sends nothing.
class SegmentedPicker : public QWidget {
    Q_OBJECT
public:
    using Item = QPair<QString, int>; // label, value

    SegmentedPicker(const QList<Item>& items, int value, const QString& accessibleName,
                    QWidget* parent = nullptr);

    int value() const { return m_value; }
    // Selects the segment with this value; a value with no segment selects none.
    void setValue(int value);
    int count() const { return static_cast<int>(m_items.size()); }
    QString label(int index) const { return m_items.value(index).first; }
    int valueAt(int index) const { return m_items.value(index).second; }
    int currentIndex() const;
    QRect segmentRect(int index) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void valueChosen(int value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int indexAt(const QPoint& pos) const;
    void choose(int index);
    void updateDescription();

    QList<Item> m_items;
    int m_value;
    int m_pressed = -1;
};
