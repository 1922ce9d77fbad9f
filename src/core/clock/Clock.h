#pragma once

#include <QDateTime>
#include <QPointer>
#include <functional>

class ClockTimer;
class QObject;

// The source of "now" and of main-thread timers for everything that keeps time, so tests can
// move time forward without sleeping.
//
// Two clocks: the wall clock, which the user or the network may set at any moment, and a steady
// one that never steps and keeps counting through suspend. Elapsed time and timers go by the
// steady one; the wall clock is only for times of day typed or shown.
class Clock {
public:
    virtual ~Clock() = default;

    // The wall clock.
    virtual QDateTime now() const = 0;
    // Milliseconds on the steady clock, from an arbitrary origin.
    virtual qint64 monotonicMs() const = 0;
    // A stopped timer owned by parent.
    virtual ClockTimer* createTimer(QObject* parent) = 0;

    // Calls fn once, delayMs from now, on the main thread. Nothing happens if context is destroyed
    // first; deleting the returned timer cancels the call.
    QPointer<ClockTimer> singleShot(int delayMs, QObject* context, std::function<void()> fn);

    // Seconds from a to b, with millisecond resolution.
    static double secondsBetween(const QDateTime& a, const QDateTime& b) {
        return static_cast<double>(a.msecsTo(b)) / 1000.0;
    }

    // The system's clocks and QTimer.
    static Clock& system();
};
