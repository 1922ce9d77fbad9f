#pragma once

#include <QString>

// One scheduled sentence of a timer's spoken plan.
struct Line {
    enum class Kind { Every, Minute, Half, Count, End };
    QString text;
    Kind kind = Kind::Every;
    bool operator==(const Line&) const = default;
};
