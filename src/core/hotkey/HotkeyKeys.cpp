#include "core/hotkey/HotkeyKeys.h"

#include <QStringList>

namespace HotkeyKeys {

namespace {
constexpr Qt::KeyboardModifiers known =
    Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier;

// Modifier names in the order both texts list them.
struct ModifierNames {
    Qt::KeyboardModifier modifier;
    const char* portal;
    const char* message;
};
constexpr ModifierNames modifierNames[] = {{Qt::ControlModifier, "CTRL", "control"},
                                           {Qt::AltModifier, "ALT", "alt"},
                                           {Qt::ShiftModifier, "SHIFT", "shift"},
                                           {Qt::MetaModifier, "LOGO", "super"}};

QString join(QKeyCombination keys, bool portal) {
    if (!supported(keys))
        return {};
    QStringList parts;
    for (const ModifierNames& m : modifierNames) {
        if (keys.keyboardModifiers().testFlag(m.modifier))
            parts << QLatin1String(portal ? m.portal : m.message);
    }
    const char c = character(keys);
    if (c == ' ')
        parts << QStringLiteral("space");
    else
        parts << (portal ? QString(QLatin1Char(c)) : QString(QLatin1Char(c)).toUpper());
    return parts.join(QLatin1Char(portal ? '+' : '-'));
}
} // namespace

char character(QKeyCombination keys) {
    // Qt numbers the printable ASCII keys by their upper-case character.
    const int key = keys.key();
    if (key < Qt::Key_Space || key > Qt::Key_AsciiTilde)
        return 0;
    const char c = static_cast<char>(key);
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool supported(QKeyCombination keys) {
    return character(keys) != 0 && (keys.keyboardModifiers() & ~known) == Qt::NoModifier;
}

QString portalTrigger(QKeyCombination keys) {
    return join(keys, true);
}

QString describe(QKeyCombination keys) {
    return join(keys, false);
}

} // namespace HotkeyKeys
