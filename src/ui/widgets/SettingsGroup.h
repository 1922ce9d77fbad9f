#pragma once

#include <QWidget>

class QVBoxLayout;

// A titled group of settings: the title in small upper-case letters above the content, 9 px
// apart, with 14 px of margin around both on a faint rounded panel.
class SettingsGroup : public QWidget {
    Q_OBJECT
public:
    explicit SettingsGroup(const QString& title, QWidget* parent = nullptr);

    // Where the section's rows go; they get the 13 px body font.
    QVBoxLayout* content() const { return m_content; }
    void addWidget(QWidget* widget);
    void addLayout(QLayout* layout);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QVBoxLayout* m_content;
};
