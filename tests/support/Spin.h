#pragma once

#include <QtCore/qtestsupport_core.h>

// Runs a real event loop for ms: only where the length itself is the subject (a bench's run).
// Tests wait on a condition with QTest::qWaitFor instead.
inline void spin(int ms) {
    QTest::qWait(ms);
}
