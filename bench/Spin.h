#pragma once

#include <QtCore/qtestsupport_core.h>

// Runs a real event loop for ms: a bench run lasts as long as it is told to.
// Tests wait on a condition with QTest::qWaitFor instead.
inline void spin(int ms) {
    QTest::qWait(ms);
}
