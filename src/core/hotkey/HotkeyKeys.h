#pragma once

#include <QKeyCombination>
#include <QString>

// What the backends need to know about a key combination beyond Qt's own terms: the character
// X11 and the global-shortcuts portal name the key by, and the texts for the portal and for
// messages. Only printable ASCII keys with Ctrl, Alt, Shift and Meta (the Super key) qualify.
namespace HotkeyKeys {

// Whether the backends can register keys.
bool supported(QKeyCombination keys);
// The character the key types without Shift, letters in lower case: for a printable ASCII key
// it is also its X keysym. 0 for a key that types none (Return, function keys, arrows, ...).
char character(QKeyCombination keys);

// "CTRL+ALT+t": the portal's preferred-trigger syntax. Empty for keys not supported.
QString portalTrigger(QKeyCombination keys);
// "control-alt-T": for messages. Empty for keys not supported.
QString describe(QKeyCombination keys);

} // namespace HotkeyKeys
