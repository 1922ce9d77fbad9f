#include "core/hotkey/HotkeyService.h"

#include <QDebug>

HotkeyService::HotkeyService(QObject* parent) : QObject(parent) {}

HotkeyService::~HotkeyService() = default;

QString HotkeyService::notRegistered() {
    return QStringLiteral("not registered");
}

void HotkeyService::setStatus(Backend backend, const QString& reason) {
    const Status next{backend, backend == Backend::Unavailable ? reason : QString()};
    if (next == m_status)
        return;
    m_status = next;
    emit statusChanged();
}

void HotkeyService::fail(const QString& reason) {
    if (!m_logged) {
        m_logged = true;
        qWarning().noquote() << "Pobi: hotkey unavailable: " + reason;
    }
    setStatus(Backend::Unavailable, reason);
}

// Compiled here rather than with the other headers' meta-objects, so a program that uses the
// hotkey links only what it needs.
#include "moc_HotkeyService.cpp"
