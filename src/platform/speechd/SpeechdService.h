#pragma once

#include "core/speech/SpeechService.h"

#include <QElapsedTimer>
#include <QString>
#include <atomic>
#include <mutex>
#include <thread>

// Speech through speech-dispatcher (libspeechd). The connection runs in threaded mode: its
// END and CANCEL notifications arrive on libspeechd's own thread and are posted to this object's
// (the main) thread before anything is touched. A server that is not running is started the way
// other clients start it (autospawn); one that goes away is reconnected to on the next sentence.
class SpeechdService final : public SpeechService {
    Q_OBJECT
public:
    explicit SpeechdService(QObject* parent = nullptr);
    ~SpeechdService() override;

    bool available() const override { return m_connection != nullptr; }
    QString reason() const override { return m_reason; }
    quint64 speak(const QString& text, const QString& voiceId, double rate) override;
    // espeak-ng through PulseAudio, from speak() to the first sound recorded on the sink: 65-75 ms
    // on an idle and on a loaded machine alike.
    int leadMs() const override { return 65; }
    void stop() override;
    void requestVoices() override;

    // speech-dispatcher's rate (-100..100, 0 = the voice's default) for the user's factor.
    static int spdRate(double rate);
    // "module/name" for a voice of an output module, and back.
    static QString voiceId(const QString& module, const QString& name);

private:
    bool open();
    void close();
    quint64 say(const QString& text, const QString& voiceId, double rate);
    void listVoices();

    void* m_connection = nullptr; // SPDConnection*, an anonymous struct in libspeechd's header
    QString m_reason;
    QElapsedTimer m_sinceFailedOpen; // invalid while the last open succeeded
    QString m_defaultModule;
    QString m_module; // output module currently set on the connection
    QString m_voice;  // synthesis voice currently set, empty for the module's default
    int m_clientId = 0;

    std::thread m_lister;
    std::atomic<bool> m_listing = false;
};
