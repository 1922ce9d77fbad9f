#include "core/hotkey/HotkeyKeys.h"

#include <QStringList>
#include <array>

namespace HotkeyKeys {

namespace {
// The ANSI keyboard's virtual key codes 0 to 50; 0 marks codes without a printable key.
constexpr std::array<char, 51> ansi = {
    'a', 's', 'd', 'f', 'h', 'g',  'z', 'x', 'c',  'v', 0,   'b', 'q', 'w', 'e', 'r', 'y',
    't', '1', '2', '3', '4', '6',  '5', '=', '9',  '7', '-', '8', '0', ']', 'o', 'u', '[',
    'i', 'p', 0,   'l', 'j', '\'', 'k', ';', '\\', ',', '/', 'n', 'm', '.', 0,   ' ', '`'};

constexpr quint32 known = cmdKey | shiftKey | optionKey | controlKey;
} // namespace

std::optional<Combo> fromCarbon(quint32 keyCode, quint32 modifiers) {
    if (keyCode >= ansi.size() || ansi[keyCode] == 0 || (modifiers & ~known) != 0)
        return std::nullopt;
    Combo c;
    c.key = ansi[keyCode];
    c.control = (modifiers & controlKey) != 0;
    c.alt = (modifiers & optionKey) != 0;
    c.shift = (modifiers & shiftKey) != 0;
    c.super = (modifiers & cmdKey) != 0;
    return c;
}

QString portalTrigger(const Combo& combo) {
    QStringList parts;
    if (combo.control)
        parts << QStringLiteral("CTRL");
    if (combo.alt)
        parts << QStringLiteral("ALT");
    if (combo.shift)
        parts << QStringLiteral("SHIFT");
    if (combo.super)
        parts << QStringLiteral("LOGO");
    parts << (combo.key == ' ' ? QStringLiteral("space") : QString(QChar::fromLatin1(combo.key)));
    return parts.join(QLatin1Char('+'));
}

QString describe(const Combo& combo) {
    QStringList parts;
    if (combo.control)
        parts << QStringLiteral("control");
    if (combo.alt)
        parts << QStringLiteral("alt");
    if (combo.shift)
        parts << QStringLiteral("shift");
    if (combo.super)
        parts << QStringLiteral("super");
    parts << (combo.key == ' ' ? QStringLiteral("space")
                               : QString(QChar::fromLatin1(combo.key)).toUpper());
    return parts.join(QLatin1Char('-'));
}

} // namespace HotkeyKeys
