#pragma once

#include "core/speech/SpeechService.h"

#include <QList>
#include <QString>
#include <QStringList>

// A synthesiser that records what it is asked to do. Nothing ends by itself: tests call
// finish() to report an utterance's end, as the real one does one turn later.
class FakeSpeech final : public SpeechService {
    Q_OBJECT
public:
    using SpeechService::SpeechService;

    bool available() const override { return m_available; }
    QString reason() const override { return m_reason; }
    quint64 speak(const QString& text, const QString&, double) override {
        m_available = m_available || m_back;
        if (!m_available)
            return 0;
        m_texts.append(text);
        return ++m_lastId;
    }
    void stop() override { ++m_stops; }
    int leadMs() const override { return lead; }
    int lead = 0;
    void requestVoices() override { emit voicesReady(m_voices); }

    // Unreachable, as when no speech server runs; with back, reached again at the next speak().
    void setUnavailable(const QString& reason, bool back = false) {
        m_available = false;
        m_back = back;
        m_reason = reason;
    }
    // Voices handed out by requestVoices().
    void setVoices(const QList<VoiceInfo>& voices) { m_voices = voices; }

    // Reports the end of an utterance (default: the latest one).
    void finish(quint64 id = 0) { emit ended(id ? id : m_lastId, Outcome::Finished); }

    // What was said since the last clear(), and the id of the latest utterance.
    const QStringList& texts() const { return m_texts; }
    quint64 lastId() const { return m_lastId; }
    int stops() const { return m_stops; }
    void clear() { m_texts.clear(); }

private:
    bool m_available = true;
    bool m_back = false;
    QString m_reason;
    QStringList m_texts;
    QList<VoiceInfo> m_voices;
    quint64 m_lastId = 0;
    int m_stops = 0;
};
