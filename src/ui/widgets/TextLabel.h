#pragma once

#include <QFont>
#include <QWidget>

// One line of text in a Theme colour that follows palette changes (light or dark), optionally
// with tabular digits for running clocks. Too long a text is elided at the end, or, when its last
// characters matter most (a time after a label), just before them.
class TextLabel : public QWidget {
    Q_OBJECT
public:
    enum class Role { Primary, Secondary, Accent };

    explicit TextLabel(const QString& text = {}, double px = 13,
                       QFont::Weight weight = QFont::Normal, Role role = Role::Primary,
                       QWidget* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);
    // The last keepTail characters are shown whole as long as anything of the rest fits.
    void setText(const QString& text, qsizetype keepTail);
    // The text as drawn at the current width.
    QString shownText() const;
    // How far below the top of the text box its baseline is drawn, and how far above the bottom.
    double baseline() const;
    double belowBaseline() const;
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
    qsizetype m_keepTail = 0;
};
