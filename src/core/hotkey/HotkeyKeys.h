#pragma once

#include <QString>
#include <optional>

// Translation of the Mac virtual key code and Carbon modifier mask the application speaks in
// into a platform-neutral combination the Linux backends can map to X keysyms or to the
// accelerator strings of the global-shortcuts portal.
namespace HotkeyKeys {

// Carbon modifier bits.
constexpr quint32 cmdKey = 256;
constexpr quint32 shiftKey = 512;
constexpr quint32 optionKey = 2048;
constexpr quint32 controlKey = 4096;

struct Combo {
    char key = 0; // lower-case ASCII letter, digit or punctuation; ' ' for the space bar
    bool control = false;
    bool alt = false; // option
    bool shift = false;
    bool super = false; // command
    bool operator==(const Combo&) const = default;
};

// Absent for key codes without a printable key (function keys, arrows, ...) and for modifier
// masks with bits other than the four above.
std::optional<Combo> fromCarbon(quint32 keyCode, quint32 modifiers);

// "CTRL+ALT+t": the portal's preferred-trigger syntax.
QString portalTrigger(const Combo& combo);
// "control-alt-T": for messages.
QString describe(const Combo& combo);

} // namespace HotkeyKeys
