#pragma once

#include <QList>
#include <QObject>
#include <QString>

// One installed synthesiser voice, as offered to the user.
struct VoiceInfo {
    QString id;       // stable identifier, e.g. "espeak-ng/English (Great Britain)"
    QString name;     // e.g. "English (Great Britain)"
    QString language; // BCP 47 tag, e.g. "en-GB"
    bool operator==(const VoiceInfo&) const = default;
};

// The desktop's speech synthesiser: one utterance at a time, each with an id whose end or
// cancellation is reported on the main thread.
class SpeechService : public QObject {
    Q_OBJECT
public:
    enum class Outcome { Finished, Cancelled };
    using QObject::QObject;
    ~SpeechService() override = default;

    // False when the synthesiser cannot be reached; reason() tells why.
    virtual bool available() const = 0;
    virtual QString reason() const { return {}; }
    // Starts speaking text and returns its id (never 0), or 0 if it could not be handed over.
    // Called also while unavailable, so a service may try to reach its synthesiser again.
    // rate is the user's factor: 1.0 is the synthesiser's default speed.
    virtual quint64 speak(const QString& text, const QString& voiceId, double rate) = 0;
    // About how long after speak() the first sound is heard (synthesis, a voice's leading silence,
    // the audio path's buffer): a line meant to be heard at a moment is handed over this early.
    virtual int leadMs() const { return 0; }
    // Cuts off whatever is being said, at once.
    virtual void stop() = 0;
    // Starts listing the installed voices without blocking; voicesReady follows (at once if
    // already known).
    virtual void requestVoices() = 0;

signals:
    void ended(quint64 id, SpeechService::Outcome outcome);
    void voicesReady(const QList<VoiceInfo>& voices);
};
