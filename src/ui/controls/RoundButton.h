#pragma once

#include "ui/theme/SymbolIcon.h"

#include <QAbstractButton>

// A 28 x 28 circle outlined in the text colour at 0.15 with a symbol in the middle; the whole
// circle is the target. help is the tooltip and accessible name.
class RoundButton : public QAbstractButton {
    Q_OBJECT
public:
    RoundButton(SymbolIcon::Symbol symbol, const QString& help = {}, QWidget* parent = nullptr);

    SymbolIcon::Symbol symbol() const { return m_symbol; }
    QSize sizeHint() const override { return {28, 28}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    SymbolIcon::Symbol m_symbol;
};
