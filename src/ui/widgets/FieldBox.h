#pragma once

#include <QFont>
#include <QWidget>

class Keycap;
class QHBoxLayout;
class QLineEdit;

// The popup's typing box: a borderless line edit on a rounded box of the text background,
// outlined in the accent colour (2 px) while it has the focus and faintly (1 px) otherwise, with
// a return key cap at its trailing edge. Return sends submitted().
class FieldBox : public QWidget {
    Q_OBJECT
public:
    FieldBox(const QString& placeholder, double px, QFont::Weight weight, int height = 38,
             QWidget* parent = nullptr);

    QLineEdit* edit() const { return m_edit; }
    Keycap* keycap() const { return m_keycap; }
    QString text() const;
    void setText(const QString& text);
    void setPlaceholder(const QString& text);
    bool focused() const;
    // Puts a small widget between the text and the key cap (a live preview, for example).
    void addTrailing(QWidget* widget);

signals:
    void submitted();
    void textEdited(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QHBoxLayout* m_row;
    QLineEdit* m_edit;
    Keycap* m_keycap;
};
