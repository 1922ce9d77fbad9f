#pragma once

#include "core/clock/Clock.h"

// The system's wall clock, its boot-time clock (steady, and counting through suspend) and precise
// QTimers on the calling (main) thread.
class SystemClock final : public Clock {
public:
    QDateTime now() const override;
    qint64 monotonicMs() const override;
    ClockTimer* createTimer(QObject* parent) override;
};
