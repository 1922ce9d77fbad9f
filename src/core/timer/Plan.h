#pragma once

#include "core/timer/Line.h"

#include <QString>
#include <map>

class Settings;

// A timer's spoken schedule: remaining whole seconds -> the line said then.
using PlanMap = std::map<qint64, Line>;

namespace Plan {
PlanMap make(qint64 total, const QString& label, const Settings& settings);
QString endText(const QString& label, const Settings& settings);
} // namespace Plan
