#pragma once

#include <QFont>
#include <QWidget>

// One line of text in a Theme colour that follows palette changes (light or dark), optionally
// with tabular digits for running clocks. Too long a text is elided at the end.
class TextLabel : public QWidget {
    Q_OBJECT
public:
    enum class Role { Primary, Secondary, Accent };

    explicit TextLabel(const QString& text = {}, double px = 13,
                       QFont::Weight weight = QFont::Normal, Role role = Role::Primary,
                       QWidget* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);
    Role role() const { return m_role; }
    void setRole(Role role);
    void setTextFont(const QFont& font);
    void setAlignment(Qt::Alignment align);
    void setTabular(bool tabular);
    bool tabular() const { return m_tabular; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    Role m_role;
    Qt::Alignment m_align = Qt::AlignLeft | Qt::AlignVCenter;
    bool m_tabular = false;
};
