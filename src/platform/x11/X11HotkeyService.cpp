#include "platform/x11/X11HotkeyService.h"

#include "core/hotkey/HotkeyKeys.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

namespace {
constexpr quint8 badAccess = 10;
// Lock keys the user may have on; the grab has to hold with each of them.
constexpr quint16 ignoredMasks[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                    XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};
constexpr quint16 relevantMasks =
    XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

quint16 xcbModifiers(Qt::KeyboardModifiers modifiers) {
    return (modifiers.testFlag(Qt::ControlModifier) ? XCB_MOD_MASK_CONTROL : 0) |
           (modifiers.testFlag(Qt::AltModifier) ? XCB_MOD_MASK_1 : 0) |
           (modifiers.testFlag(Qt::ShiftModifier) ? XCB_MOD_MASK_SHIFT : 0) |
           (modifiers.testFlag(Qt::MetaModifier) ? XCB_MOD_MASK_4 : 0);
}

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
} // namespace

X11HotkeyService::X11HotkeyService(xcb_connection_t* connection, QObject* parent)
    : HotkeyService(parent), m_connection(connection) {
    if (!m_connection) {
        m_own = true;
        m_connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_connection)) {
            xcb_disconnect(m_connection);
            m_connection = nullptr;
            m_connectError = QStringLiteral("cannot connect to the X server");
            return;
        }
        m_notifier =
            new QSocketNotifier(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this,
                &X11HotkeyService::readOwnConnection);
    } else if (QCoreApplication::instance()) {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    const xcb_setup_t* setup = xcb_get_setup(m_connection);
    xcb_screen_iterator_t screen = xcb_setup_roots_iterator(setup);
    m_root = screen.data->root;
}

X11HotkeyService::~X11HotkeyService() {
    if (m_connection)
        ungrabAll();
    if (!m_own && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
    if (m_own && m_connection) {
        delete m_notifier;
        xcb_disconnect(m_connection);
    }
}

void X11HotkeyService::registerHotkey(QKeyCombination keys) {
    if (!m_connection) {
        fail(m_connectError);
        return;
    }
    ungrabAll();
    m_keys = keys;
    m_wanted = true;
    if (!HotkeyKeys::supported(keys)) {
        fail(QStringLiteral("key 0x%1 with modifiers 0x%2 has no X11 equivalent")
                 .arg(keys.key(), 0, 16)
                 .arg(keys.keyboardModifiers().toInt(), 0, 16));
        return;
    }
    const QString described = HotkeyKeys::describe(keys);

    m_keycodes.clear();
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(m_connection);
    // Printable ASCII keysyms equal their Latin-1 code.
    std::unique_ptr<xcb_keycode_t, FreeDeleter> codes(xcb_key_symbols_get_keycode(
        symbols, static_cast<xcb_keysym_t>(HotkeyKeys::character(keys))));
    xcb_key_symbols_free(symbols);
    for (const xcb_keycode_t* c = codes.get(); c && *c != XCB_NO_SYMBOL; ++c)
        m_keycodes.push_back(*c);
    if (m_keycodes.empty()) {
        fail(QStringLiteral("the keyboard has no key for %1").arg(described));
        return;
    }

    m_modifiers = xcbModifiers(keys.keyboardModifiers());

    bool taken = false;
    QString otherError;
    for (const quint8 keycode : m_keycodes) {
        for (const quint16 extra : ignoredMasks) {
            const auto mods = static_cast<quint16>(m_modifiers | extra);
            const xcb_void_cookie_t cookie = xcb_grab_key_checked(
                m_connection, 1, m_root, mods, keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
            std::unique_ptr<xcb_generic_error_t, FreeDeleter> error(
                xcb_request_check(m_connection, cookie));
            if (!error) {
                m_grabs.push_back({keycode, mods});
            } else if (error->error_code == badAccess) {
                taken = true;
            } else {
                otherError = QStringLiteral("the X server refused the key grab (error %1)")
                                 .arg(error->error_code);
            }
        }
    }
    if (taken || !otherError.isEmpty()) {
        ungrabAll();
        fail(taken ? described + QStringLiteral(" is taken by another program") : otherError);
    } else {
        setStatus(Backend::X11);
    }
    // The checks above may have pulled key events into xcb's queue without the socket turning
    // readable again.
    if (m_own)
        readOwnConnection();
}

void X11HotkeyService::unregisterHotkey() {
    if (!m_connection)
        return;
    m_wanted = false;
    ungrabAll();
    setStatus(Backend::Unavailable, notRegistered());
}

void X11HotkeyService::ungrabAll() {
    for (const Grab& g : m_grabs)
        xcb_ungrab_key(m_connection, g.keycode, m_root, g.modifiers);
    if (!m_grabs.empty())
        xcb_flush(m_connection);
    m_grabs.clear();
}

bool X11HotkeyService::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t")
        return false;
    return handle(message);
}

bool X11HotkeyService::handle(const void* event) {
    const auto* generic = static_cast<const xcb_generic_event_t*>(event);
    const quint8 type = generic->response_type & 0x7f;
    if (type == XCB_MAPPING_NOTIFY) {
        // A new layout may have moved the key: the old grab would hold a key that no longer
        // types it. Qt reads the new mapping too, so the event is not taken from it.
        const auto* mapping = static_cast<const xcb_mapping_notify_event_t*>(event);
        if (mapping->request == XCB_MAPPING_KEYBOARD && m_wanted)
            registerHotkey(m_keys);
        return false;
    }
    if ((type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE) || m_grabs.empty())
        return false;
    // Press and release events share one layout. The grab reports them on the root window;
    // typing into the application's own windows is Qt's.
    const auto* key = static_cast<const xcb_key_press_event_t*>(event);
    if (key->event != m_root ||
        std::find(m_keycodes.begin(), m_keycodes.end(), key->detail) == m_keycodes.end())
        return false;
    if (type == XCB_KEY_RELEASE) {
        // Matched on the key alone: the grab lasts until the key goes up, whatever happened
        // to the modifiers meanwhile.
        m_releasedAt = key->time;
        return true;
    }
    if ((key->state & relevantMasks) != m_modifiers)
        return false;
    // One physical press runs the action once, however long the key is held.
    if (key->time != m_releasedAt)
        emit activated();
    return true;
}

void X11HotkeyService::readOwnConnection() {
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
        std::unique_ptr<xcb_generic_event_t, FreeDeleter> owned(event);
        handle(event);
    }
    if (xcb_connection_has_error(m_connection)) {
        // The server went away: nothing more will arrive.
        m_notifier->setEnabled(false);
        m_grabs.clear();
        fail(QStringLiteral("the connection to the X server was lost"));
    }
}
