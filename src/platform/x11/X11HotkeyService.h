#pragma once

#include "core/hotkey/HotkeyService.h"

#include <QAbstractNativeEventFilter>
#include <QPointer>
#include <vector>

class QSocketNotifier;
struct xcb_connection_t;

// The hotkey as a passive key grab on the X root window. On the Qt xcb platform it shares Qt's
// connection and sees the key presses through a native event filter; without one (tests, a
// QCoreApplication) it opens its own connection to $DISPLAY and reads it on the main thread.
class X11HotkeyService final : public HotkeyService, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    // connection: Qt's xcb connection, or null to open a private one.
    explicit X11HotkeyService(xcb_connection_t* connection = nullptr, QObject* parent = nullptr);
    ~X11HotkeyService() override;

    void registerHotkey(QKeyCombination keys) override;
    void unregisterHotkey() override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    struct Grab {
        quint8 keycode;
        quint16 modifiers;
    };
    bool handle(const void* event);
    void readOwnConnection();
    void ungrabAll();

    xcb_connection_t* m_connection = nullptr;
    bool m_own = false;
    quint32 m_root = 0;
    QPointer<QSocketNotifier> m_notifier;
    QString m_connectError;
    std::vector<quint8> m_keycodes;
    quint16 m_modifiers = 0;
    std::vector<Grab> m_grabs;
    // What was asked for, to grab again when the keyboard mapping changes.
    QKeyCombination m_keys;
    bool m_wanted = false;
    // The server repeats a held key as a release and a new press with the same time stamp.
    quint32 m_releasedAt = 0;
};
