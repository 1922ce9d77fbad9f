#include "FakeLoginItem.h"

#include <QtDebug>

void FakeLoginItem::setEnabled(bool enabled) {
    ++calls;
    if (failing) {
        qWarning().noquote() << "Pobi: launch at login failed: the service said no";
        return;
    }
    m_enabled = enabled;
}
