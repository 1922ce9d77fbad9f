#include "core/clock/Clock.h"

#include "core/clock/ClockTimer.h"
#include "core/clock/SystemClock.h"

QPointer<ClockTimer> Clock::singleShot(int delayMs, QObject* context, std::function<void()> fn) {
    ClockTimer* timer = createTimer(context);
    timer->setSingleShot(true);
    QObject::connect(timer, &ClockTimer::timeout, timer, [timer, fn = std::move(fn)] {
        timer->deleteLater();
        fn();
    });
    timer->start(delayMs < 0 ? 0 : delayMs);
    return timer;
}

Clock& Clock::system() {
    static SystemClock clock;
    return clock;
}
