#include "platform/speechd/SpeechdService.h"

#include "core/log/Log.h"

#include <QHash>
#include <QMetaObject>
#include <QPointer>
#include <QSet>
#include <QThread>
#include <QtDebug>
#include <algorithm>
#include <cmath>
#include <csignal>
#include <libspeechd.h>

namespace {

// libspeechd's callbacks carry no user data, only the connection's client id: this registry
// maps it to the live service. The lock only guards the registry; the callback merely posts.
std::mutex g_registryMutex;
QHash<size_t, SpeechdService*>& registry() {
    static QHash<size_t, SpeechdService*> services;
    return services;
}

void notify(size_t msgId, size_t clientId, SPDNotificationType type);

SPDConnection* spd(void* connection) {
    return static_cast<SPDConnection*>(connection);
}

QString fromC(const char* s) {
    return s ? QString::fromUtf8(s) : QString();
}

} // namespace

// A server that is down is not tried again for this long: starting one is a blocking spawn.
constexpr qint64 reopenAfterMs = 10'000;

SpeechdService::SpeechdService(QObject* parent) : SpeechService(parent) {
    // libspeechd writes to its socket with plain write(): a server that has just died must not
    // end Pobi with SIGPIPE. The write fails instead, and the next sentence reconnects.
    std::signal(SIGPIPE, SIG_IGN);
    open();
}

SpeechdService::~SpeechdService() {
    if (m_lister.joinable())
        m_lister.join();
    close();
}

namespace {

// The server's id for this connection, or -1. libspeechd's spd_get_client_id reads the reply
// without checking that there was one, and crashes when the server has just closed the connection.
int clientId(SPDConnection* c) {
    char* reply = nullptr;
    int id = -1;
    // The reply's first line is "245-<id>".
    if (spd_execute_command_with_reply(c, "HISTORY GET CLIENT_ID", &reply) == 0 && reply) {
        const QByteArray line = QByteArray(reply).split('\n').value(0).trimmed();
        bool ok = false;
        const int value = line.mid(line.indexOf('-') + 1).toInt(&ok);
        if (line.indexOf('-') == 3 && ok)
            id = value;
    }
    free(reply);
    return id;
}

} // namespace

// Connects with autospawn, as other speech clients do: a desktop session need not have started
// speech-dispatcher, and libspeechd then starts the user's own server. It stays up while this
// connection is open.
bool SpeechdService::open() {
    char* error = nullptr;
    SPDConnection* c = spd_open2("pobi", "main", nullptr, SPD_MODE_THREADED, nullptr, 1, &error);
    // A server on its way out still accepts connections and then closes them: wait for it to go
    // (a fraction of a second) so that the next attempt reaches, or autospawns, its successor.
    for (int attempt = 0; c && attempt < 10; ++attempt) {
        m_clientId = clientId(c);
        if (m_clientId >= 0)
            break;
        spd_close(c);
        QThread::msleep(100);
        free(error);
        error = nullptr;
        c = spd_open2("pobi", "main", nullptr, SPD_MODE_THREADED, nullptr, 1, &error);
    }
    m_connection = c;
    if (!c) {
        m_reason = error ? QString::fromUtf8(error).trimmed()
                         : QStringLiteral("cannot connect to speech-dispatcher");
        free(error);
        m_sinceFailedOpen.start();
        qCDebug(lcSpeech) << "no speech-dispatcher connection:" << m_reason;
        return false;
    }
    free(error);
    if (m_clientId < 0) {
        spd_close(c);
        m_connection = nullptr;
        m_reason = QStringLiteral("speech-dispatcher closed the connection");
        m_sinceFailedOpen.start();
        qCDebug(lcSpeech) << "no speech-dispatcher connection:" << m_reason;
        return false;
    }
    m_sinceFailedOpen.invalidate();
    {
        std::lock_guard lock(g_registryMutex);
        registry().insert(static_cast<size_t>(m_clientId), this);
    }
    c->callback_end = notify;
    c->callback_cancel = notify;
    spd_set_notification_on(c, SPD_END);
    spd_set_notification_on(c, SPD_CANCEL);
    char* module = spd_get_output_module(c);
    m_defaultModule = fromC(module);
    free(module);
    m_module = m_defaultModule;
    m_voice.clear();
    qCDebug(lcSpeech) << "connected to speech-dispatcher, output module" << m_defaultModule;
    return true;
}

void SpeechdService::close() {
    if (!m_connection)
        return;
    {
        std::lock_guard lock(g_registryMutex);
        registry().remove(static_cast<size_t>(m_clientId));
    }
    spd_close(spd(m_connection));
    m_connection = nullptr;
}

namespace {

void notify(size_t msgId, size_t clientId, SPDNotificationType type) {
    std::lock_guard lock(g_registryMutex);
    SpeechdService* service = registry().value(clientId);
    if (!service)
        return;
    const auto outcome = type == SPD_EVENT_CANCEL ? SpeechService::Outcome::Cancelled
                                                  : SpeechService::Outcome::Finished;
    const auto id = static_cast<quint64>(msgId);
    // Queued: runs on the service's thread after speak() has returned this id, even when the
    // notification beat spd_say's reply. The registry lock keeps the service alive until the
    // event is posted; a service destroyed later drops its pending events.
    QMetaObject::invokeMethod(
        service, [service, id, outcome] { emit service->ended(id, outcome); },
        Qt::QueuedConnection);
}

} // namespace

// speech-dispatcher's rate runs from -100 to 100 with 0 the voice's normal speed. The factor is
// mapped linearly, 60 points per unit, so 1.0 -> 0 and the settings' 0.6..1.6 -> -24..+36: the
// same share of the scale as "default + (factor - 1) x 0.3" on a 0..1 rate scale. Clamped.
int SpeechdService::spdRate(double rate) {
    const double r = std::round((rate - 1.0) * 60.0);
    return static_cast<int>(std::clamp(r, -100.0, 100.0));
}

QString SpeechdService::voiceId(const QString& module, const QString& name) {
    return module + u'/' + name;
}

quint64 SpeechdService::speak(const QString& text, const QString& voiceId, double rate) {
    if (!m_connection) {
        if (m_sinceFailedOpen.isValid() && !m_sinceFailedOpen.hasExpired(reopenAfterMs))
            return 0;
        if (!open())
            return 0;
    }
    if (const quint64 id = say(text, voiceId, rate))
        return id;
    // A live connection takes every sentence; a refused one means the server has gone (it was
    // restarted, or stopped). Connect again, starting a server if need be, and try this sentence
    // once more.
    qWarning().noquote() << QStringLiteral("Pobi: speech-dispatcher went away; reconnecting");
    close();
    return open() ? say(text, voiceId, rate) : 0;
}

quint64 SpeechdService::say(const QString& text, const QString& voiceId, double rate) {
    // The voice is a connection setting: change it only when it differs from the last one.
    QString module = m_defaultModule;
    QString voice;
    const qsizetype slash = voiceId.indexOf(u'/');
    if (slash > 0) {
        module = voiceId.left(slash);
        voice = voiceId.mid(slash + 1);
    }
    if (module != m_module) {
        // An unknown module (a voice since removed) leaves the default in place.
        if (spd_set_output_module(spd(m_connection), module.toUtf8().constData()) == 0)
            m_module = module;
        else if (m_module != m_defaultModule &&
                 spd_set_output_module(spd(m_connection), m_defaultModule.toUtf8().constData()) ==
                     0)
            m_module = m_defaultModule;
        m_voice.clear();
    }
    if (voice != m_voice) {
        if (voice.isEmpty())
            spd_set_voice_type(spd(m_connection), SPD_MALE1); // back to the module's default voice
        else
            spd_set_synthesis_voice(spd(m_connection), voice.toUtf8().constData());
        m_voice = voice;
    }
    spd_set_voice_rate(spd(m_connection), spdRate(rate));
    const int id = spd_say(spd(m_connection), SPD_TEXT, text.toUtf8().constData());
    return id > 0 ? static_cast<quint64>(id) : 0;
}

void SpeechdService::stop() {
    if (m_connection)
        spd_cancel(spd(m_connection));
}

// Listed afresh on every request, so a voice installed or removed while Pobi runs shows up.
void SpeechdService::requestVoices() {
    if (m_listing.exchange(true))
        return; // already on its way
    if (m_lister.joinable())
        m_lister.join();
    m_lister = std::thread([this] { listVoices(); });
}

// Runs on the lister thread with its own connection, so speaking never waits behind the
// second-long listing. espeak-ng offers every language in dozens of variants: only the base
// voices (no variant), one per name and language, are kept.
void SpeechdService::listVoices() {
    QList<VoiceInfo> voices;
    char* error = nullptr;
    SPDConnection* c = spd_open2("pobi", "voices", nullptr, SPD_MODE_SINGLE, nullptr, 0, &error);
    free(error);
    if (c) {
        QStringList modules;
        if (char** list = spd_list_modules(c)) {
            for (char** m = list; *m; ++m)
                modules.append(QString::fromUtf8(*m));
            free_spd_modules(list);
        }
        QSet<QString> seen;
        for (const QString& module : modules) {
            if (module == QLatin1String("dummy"))
                continue;
            if (spd_set_output_module(c, module.toUtf8().constData()) != 0)
                continue;
            SPDVoice** list = spd_list_synthesis_voices(c);
            if (!list)
                continue;
            for (SPDVoice** v = list; *v; ++v) {
                const QString variant = fromC((*v)->variant);
                if (!variant.isEmpty() && variant != QLatin1String("none"))
                    continue;
                const QString name = fromC((*v)->name);
                const QString language = fromC((*v)->language);
                const QString id = voiceId(module, name);
                if (name.isEmpty() || seen.contains(id + u'\n' + language))
                    continue;
                seen.insert(id + u'\n' + language);
                voices.append({id, name.trimmed(), language});
            }
            free_spd_voices(list);
        }
        spd_close(c);
    }
    QMetaObject::invokeMethod(
        this,
        [this, voices] {
            m_listing = false;
            emit voicesReady(voices);
        },
        Qt::QueuedConnection);
}
