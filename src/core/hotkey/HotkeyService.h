#pragma once

#include <QKeyCombination>
#include <QObject>
#include <QString>

// A system-wide key combination, registered with whatever the desktop offers; each backend
// translates Qt's key and modifiers to its own terms (see HotkeyKeys).
class HotkeyService : public QObject {
    Q_OBJECT
public:
    enum class Backend { X11, Portal, Unavailable };
    struct Status {
        Backend backend = Backend::Unavailable;
        QString reason; // why it is unavailable; empty while it works
        bool operator==(const Status&) const = default;
    };

    explicit HotkeyService(QObject* parent = nullptr);
    ~HotkeyService() override;

    // Grabs the combination; the outcome may come later (statusChanged). Registering again
    // replaces the previous combination.
    virtual void registerHotkey(QKeyCombination keys) = 0;
    // Releases the combination; afterwards it no longer sends activated().
    virtual void unregisterHotkey() = 0;

    Status status() const { return m_status; }
    Backend backend() const { return m_status.backend; }
    QString reason() const { return m_status.reason; }

    static QString notRegistered();

signals:
    // The combination was pressed. Sent from inside the platform's handler: receivers that act on
    // it should connect queued (Hotkey does).
    void activated();
    void statusChanged();

protected:
    void setStatus(Backend backend, const QString& reason = QString());
    // Unavailable with reason; logged the first time only, so a desktop without global shortcuts
    // costs one line in the log.
    void fail(const QString& reason);

private:
    Status m_status{Backend::Unavailable, notRegistered()};
    bool m_logged = false;
};
