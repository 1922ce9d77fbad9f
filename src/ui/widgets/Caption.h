#pragma once

#include <QWidget>

class Speaker;

// What Pobi is saying, in curly quotes after an accent dot, while the speaker talks; the page's
// hint in the quiet moments. Long captions wrap, up to maxLines lines, the last one elided.
class Caption : public QWidget {
    Q_OBJECT
public:
    static constexpr int maxLines = 3;

    Caption(Speaker& speaker, const QString& hint = {}, QWidget* parent = nullptr);

    QString hint() const { return m_hint; }
    void setHint(const QString& hint);

    // What is shown now, whether the dot shows, and whether the text is in the primary colour.
    QString shownText() const;
    bool dotVisible() const;
    bool emphasised() const { return dotVisible(); }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void refresh();
    // The shown text broken into the lines drawn at this width.
    QStringList lines(int width) const;

    Speaker& m_speaker;
    QString m_hint;
    QString m_shown;
};
