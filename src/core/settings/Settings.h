#pragma once

#include "core/text/Tone.h"

#include <QObject>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <memory>

class LoginItem;

// Every user preference, kept in an INI file in the XDG config directory. Reads come from memory;
// every assignment is stored, written and synced to disk at once, then announced: first the
// whole-object changed(), then the property's own signal with the new value. A file that cannot
// be written is logged once per cause ("Pobi: settings not saved: <path>: <reason>"), and Pobi
// goes on from memory.
class Settings : public QObject {
    Q_OBJECT
public:
    // The popup's page: countdown timers, the stopwatch or the metronome. Stored by name.
    enum class Mode { Timer, Stopwatch, Tempo };
    Q_ENUM(Mode)

    // path: the INI file; empty means the user's own ($XDG_CONFIG_HOME/pobi/pobi.ini).
    // loginItem: the launch-at-login service (not owned); with none, launchAtLogin is false and
    // setting it only logs the failure.
    explicit Settings(const QString& path = QString(), LoginItem* loginItem = nullptr,
                      QObject* parent = nullptr);
    ~Settings() override;

    static QString defaultPath();

    // The backing store; the metronome's tempo and "hasLaunched" live here too.
    QSettings& store() { return *m_store; }
    // Stores a value of another part of Pobi in the same file, written through and checked like
    // the settings' own.
    void save(const QString& key, const QVariant& value);

    QString voiceID() const { return m_voiceID; }
    bool allLanguages() const { return m_allLanguages; }
    double rate() const { return m_rate; }
    Tone tone() const { return m_tone; }
    int every() const { return m_every; }
    bool onStart() const { return m_onStart; }
    bool halfway() const { return m_halfway; }
    bool lastMinute() const { return m_lastMinute; }
    int countdown() const { return m_countdown; }
    QString endMessage() const { return m_endMessage; }
    bool onEnd() const { return m_onEnd; }
    bool chime() const { return m_chime; }
    bool laps() const { return m_laps; }
    bool muted() const { return m_muted; }
    bool notify() const { return m_notify; }
    QStringList recents() const { return m_recents; }
    Mode mode() const { return m_mode; }

    void setVoiceID(const QString& v);
    void setAllLanguages(bool v);
    void setRate(double v);
    void setTone(Tone v);
    void setEvery(int v);
    void setOnStart(bool v);
    void setHalfway(bool v);
    void setLastMinute(bool v);
    void setCountdown(int v);
    void setEndMessage(const QString& v);
    void setOnEnd(bool v);
    void setChime(bool v);
    void setLaps(bool v);
    void setMuted(bool v);
    void setNotify(bool v);
    void setRecents(const QStringList& v);
    void setMode(Mode v);

    // Puts a typed entry first in recents (trimmed, case-insensitively unique, at most 4).
    // Entries longer than maxRecent characters (a paste, not something to type again) are not
    // kept.
    void remember(const QString& text);
    static constexpr qsizetype maxRecent = 120;

    bool launchAtLogin() const;
    void setLaunchAtLogin(bool v);

signals:
    void changed();
    void voiceIDChanged(const QString& v);
    void allLanguagesChanged(bool v);
    void rateChanged(double v);
    void toneChanged(Tone v);
    void everyChanged(int v);
    void onStartChanged(bool v);
    void halfwayChanged(bool v);
    void lastMinuteChanged(bool v);
    void countdownChanged(int v);
    void endMessageChanged(const QString& v);
    void onEndChanged(bool v);
    void chimeChanged(bool v);
    void lapsChanged(bool v);
    void mutedChanged(bool v);
    void notifyChanged(bool v);
    void recentsChanged(const QStringList& v);
    void modeChanged(Settings::Mode v);

private:
    void write(const char* key, const QVariant& value);
    void checkSaved();
    template <typename T, typename Signal>
    void assign(T& member, const T& value, const char* key, const QVariant& stored, Signal signal);

    std::unique_ptr<QSettings> m_store;
    LoginItem* m_loginItem = nullptr;
    QString m_saveFailure; // the cause last logged, until a write succeeds again

    QString m_voiceID;
    bool m_allLanguages = false;
    double m_rate = 1.0;
    Tone m_tone = Tone::Calm;
    int m_every = 5;
    bool m_onStart = true;
    bool m_halfway = true;
    bool m_lastMinute = true;
    int m_countdown = 5;
    QString m_endMessage;
    bool m_onEnd = true;
    bool m_chime = true;
    bool m_laps = true;
    bool m_muted = false;
    bool m_notify = true;
    QStringList m_recents;
    Mode m_mode = Mode::Timer;
};
