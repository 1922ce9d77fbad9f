#include "core/audio/SharedAudioPlayer.h"

#include "core/audio/AudioShare.h"

SharedAudioPlayer::SharedAudioPlayer(AudioShare& share, QObject* parent)
    : AudioPlayer(parent), m_share(&share), m_voice(share.newVoice()) {
    connect(&share, &AudioShare::failed, this, [this](const QString& reason) {
        if (!m_holding)
            return;
        m_holding = false;
        emit failed(reason);
    });
}

SharedAudioPlayer::~SharedAudioPlayer() {
    stop();
}

bool SharedAudioPlayer::start() {
    if (m_holding)
        return true;
    if (!m_share) {
        m_error = QStringLiteral("no audio output");
        return false;
    }
    if (!m_share->acquire()) {
        m_error = m_share->output().errorString();
        return false;
    }
    m_holding = true;
    return true;
}

void SharedAudioPlayer::stop() {
    if (!m_holding)
        return;
    m_holding = false;
    if (!m_share)
        return;
    m_share->output().dropVoice(m_voice);
    m_share->release();
}

bool SharedAudioPlayer::isRunning() const {
    return m_holding && m_share && m_share->output().isRunning();
}

qint64 SharedAudioPlayer::sampleTime() const {
    return isRunning() ? m_share->output().sampleTime() : 0;
}

qint64 SharedAudioPlayer::playedTime() const {
    return isRunning() ? m_share->output().playedTime() : 0;
}

void SharedAudioPlayer::scheduleVoice(int, const Buffer& buffer, qint64 at) {
    if (isRunning())
        m_share->output().scheduleVoice(m_voice, buffer, at);
}

void SharedAudioPlayer::dropVoice(int) {
    if (isRunning())
        m_share->output().dropVoice(m_voice);
}
