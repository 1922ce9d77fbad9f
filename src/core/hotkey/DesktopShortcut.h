#pragma once

#include <QString>

// A key binding kept by the desktop itself (for desktops that offer applications no global
// hotkey): the desktop runs `pobi --toggle` when the key is pressed. Changed only on request.
class DesktopShortcut {
public:
    enum class State { Unsupported, Absent, Added, Taken };
    virtual ~DesktopShortcut() = default;

    // Read afresh each time: the user may change the desktop's settings meanwhile.
    virtual State state() = 0;
    // Who holds the key when it is Taken.
    virtual QString holder() const = 0;
    // Both return whether the desktop's settings now say what was asked.
    virtual bool add() = 0;
    virtual bool remove() = 0;
};
