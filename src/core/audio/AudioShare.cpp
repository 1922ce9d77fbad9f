#include "core/audio/AudioShare.h"

#include "core/audio/AudioPlayer.h"

AudioShare::AudioShare(AudioPlayer& output, QObject* parent) : QObject(parent), m_output(output) {
    connect(&m_output, &AudioPlayer::failed, this, [this](const QString& reason) {
        if (m_users == 0)
            return;
        m_users = 0;
        emit failed(reason);
    });
}

AudioShare::~AudioShare() {
    if (m_users > 0)
        m_output.stop();
}

bool AudioShare::acquire() {
    if (!m_output.isRunning() && !m_output.start())
        return false;
    ++m_users;
    return true;
}

void AudioShare::release() {
    if (m_users == 0)
        return;
    if (--m_users == 0)
        m_output.stop();
}
