#pragma once

#include <QString>

// What a typed line asks for.
struct Command {
    // A countdown to zero, or a stopwatch counting up.
    enum class Kind { Timer, Stopwatch };

    Kind kind = Kind::Timer;
    qint64 total = 0;      // whole seconds; 0 for a stopwatch
    QString label;         // tidied; empty for a stopwatch
    bool labelCut = false; // the label was too long and lost its end
    bool operator==(const Command&) const = default;
};
