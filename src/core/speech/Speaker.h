#pragma once

#include "core/speech/SpeechService.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class Clock;
class ClockTimer;
class Settings;

// Pobi's one voice. Every sentence goes through say(): it becomes the caption, raises talking,
// and cuts off whatever was being said. There is no queue.
class Speaker : public QObject {
    Q_OBJECT
public:
    Speaker(SpeechService& speech, Clock& clock, QObject* parent = nullptr);
    ~Speaker() override;

    void say(const QString& text, const Settings& settings);

    bool talking() const { return m_talking; }
    // How early a line must be said to be heard at a given moment.
    int leadMs() const { return m_speech.available() ? m_speech.leadMs() : 0; }
    QString caption() const { return m_caption; }
    bool silent() const { return m_silent; }
    void setSilent(bool silent) { m_silent = silent; }

    // Voices to offer, filtered and ordered for the user's locale; empty until loaded.
    // loadVoices() starts loading (off the GUI thread); voicesChanged() tells when they are in.
    void loadVoices();
    bool voicesLoaded() const { return m_voicesLoaded; }
    QList<VoiceInfo> voices(bool allLanguages) const;
    // Filtering and ordering of voices for a locale language code such as "en" or "de".
    static QList<VoiceInfo> filterVoices(const QList<VoiceInfo>& all, bool allLanguages,
                                         const QString& lang);
    static QString displayName(const VoiceInfo& voice, bool withLanguage);
    // The language code of the user's locale ("en" when it has none).
    static QString userLanguage();

    // How long a sentence is deemed to take when it is not voiced: 0.6 s + 55 ms per
    // user-perceived character.
    static int quietMs(const QString& text);
    // How long a voiced sentence may go without the synthesiser reporting its end before
    // talking is dropped anyway.
    static int watchdogMs(const QString& text) { return 2 * quietMs(text) + 5000; }

signals:
    void changed();
    void talkingChanged(bool talking);
    void captionChanged(const QString& caption);
    void voicesChanged();

private:
    void setTalking(bool talking);
    void ended(quint64 id, SpeechService::Outcome outcome);
    void endAfter(int delayMs, int token);

    SpeechService& m_speech;
    Clock& m_clock;
    bool m_talking = false;
    QString m_caption;
    bool m_silent = false;
    quint64 m_current = 0;
    int m_token = 0;
    bool m_loggedFailure = false;
    // Ends talking for a sentence that is not voiced, or for one whose end never came.
    QPointer<ClockTimer> m_quietTimer;
    QList<VoiceInfo> m_allVoices;
    bool m_voicesLoaded = false;
};
