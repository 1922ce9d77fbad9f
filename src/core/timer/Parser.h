#pragma once

#include "core/timer/Command.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

// Turns one typed line ("25m pasta", "1h30", "tea", "at 3pm", "sw") into a Command.
// Main thread only: the pattern cache is not locked.
namespace Parser {
// The longest label a command keeps: a label is shown, spoken and stored, and a pasted page of
// text is none of those. Longer ones are cut at a word.
constexpr qsizetype maxLabel = 80;

// now: the current instant, in the system's time zone (or any zone; the clock-time rule works in
// the zone of now). A line naming a time of day also sets *until (if given) to that moment.
std::optional<Command> parse(const QString& text, const QDateTime& now, QDateTime* until = nullptr);
QString tidy(const QString& s);
std::optional<Command> timer(double seconds, const QString& label);
} // namespace Parser
