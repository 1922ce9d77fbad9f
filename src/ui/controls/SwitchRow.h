#pragma once

#include <QAbstractButton>
#include <QWidget>

class TextLabel;

// The small on/off switch itself.
class MiniSwitch : public QAbstractButton {
    Q_OBJECT
public:
    explicit MiniSwitch(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {26, 15}; }

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A title stretched over the row with a small switch at its trailing edge. Clicking the switch
// (or the title) sends toggled; setOn() from code sends nothing.
class SwitchRow : public QWidget {
    Q_OBJECT
public:
    explicit SwitchRow(const QString& title, bool on = false, QWidget* parent = nullptr);

    bool isOn() const;
    void setOn(bool on);
    MiniSwitch* toggle() const { return m_switch; }
    QString title() const;

signals:
    void toggled(bool on);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TextLabel* m_title;
    MiniSwitch* m_switch;
};
