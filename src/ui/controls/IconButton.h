#pragma once

#include "ui/theme/SymbolIcon.h"

#include <QAbstractButton>
#include <QColor>
#include <optional>

// A borderless 26 x 26 symbol button. The help text is its tooltip and accessible name. The
// symbol is tinted when a tint is given, else primary while hovered and secondary otherwise; a
// faint rounded square (primary at 0.08) shows under the pointer.
class IconButton : public QAbstractButton {
    Q_OBJECT
public:
    IconButton(SymbolIcon::Symbol symbol, const QString& help, std::optional<QColor> tint = {},
               QWidget* parent = nullptr);

    SymbolIcon::Symbol symbol() const { return m_symbol; }
    void setSymbol(SymbolIcon::Symbol symbol);
    QString help() const { return m_help; }
    void setHelp(const QString& help);
    std::optional<QColor> tint() const { return m_tint; }
    void setTint(std::optional<QColor> tint);
    bool hovered() const { return m_hover; }

    QColor symbolColor() const;
    QSize sizeHint() const override { return {26, 26}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    SymbolIcon::Symbol m_symbol;
    QString m_help;
    std::optional<QColor> m_tint;
    bool m_hover = false;
};
