#include "FakeSpeech.h"

quint64 FakeSpeech::speak(const QString& text, const QString& voiceId, double rate) {
    m_available = m_available || m_back;
    if (!m_available)
        return 0;
    const quint64 id = m_nextId++;
    m_spoken.append({id, text, voiceId, rate});
    return id;
}

void FakeSpeech::requestVoices() {
    ++m_voiceRequests;
    emit voicesReady(m_voices);
}

void FakeSpeech::setUnavailable(const QString& reason, bool back) {
    m_available = false;
    m_back = back;
    m_reason = reason;
}

QStringList FakeSpeech::texts() const {
    QStringList out;
    for (const auto& u : m_spoken)
        out.append(u.text);
    return out;
}
