#pragma once

#include "Clock.h"

// Wall-clock time and precise QTimers on the calling (main) thread.
class SystemClock final : public Clock {
public:
    QDateTime now() const override;
    ClockTimer* createTimer(QObject* parent) override;
};
