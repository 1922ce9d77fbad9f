#include "core/speech/Speaker.h"

#include "core/clock/Clock.h"
#include "core/clock/ClockTimer.h"
#include "core/settings/Settings.h"

#include <QLocale>
#include <QTextBoundaryFinder>
#include <QtDebug>
#include <algorithm>
#include <tuple>

namespace {

int graphemes(const QString& text) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int n = 0;
    while (finder.toNextBoundary() != -1)
        ++n;
    return n;
}

} // namespace

Speaker::Speaker(SpeechService& speech, Clock& clock, QObject* parent)
    : QObject(parent), m_speech(speech), m_clock(clock) {
    // The service already reports on the main thread; queuing once more keeps the "one turn
    // later" order even for a service that reports synchronously.
    connect(&m_speech, &SpeechService::ended, this, &Speaker::ended, Qt::QueuedConnection);
    connect(&m_speech, &SpeechService::voicesReady, this, [this](const QList<VoiceInfo>& all) {
        if (m_voicesLoaded && all == m_allVoices)
            return; // read again, unchanged: nothing to rebuild
        m_allVoices = all;
        m_voicesLoaded = true;
        emit voicesChanged();
    });
}

Speaker::~Speaker() = default;

int Speaker::quietMs(const QString& text) {
    return 600 + 55 * graphemes(text);
}

void Speaker::say(const QString& text, const Settings& settings) {
    const int token = ++m_token;
    // Announced even when the same sentence comes again: each say is a new caption to follow.
    m_caption = text;
    emit changed();
    emit captionChanged(m_caption);
    setTalking(true);
    // Any sentence in flight is now stale: its late end must not end this one.
    m_current = 0;
    if (m_speech.available())
        m_speech.stop();

    if (settings.muted() || m_silent) {
        endAfter(quietMs(text), token);
        return;
    }
    // Asked even when unavailable: the service may reach a synthesiser that has come back.
    const quint64 id = m_speech.speak(text, settings.voiceID(), settings.rate());
    if (id == 0) {
        // Refused or unreachable: behave as if it had been said quietly.
        if (!m_speech.available() && !m_loggedFailure) {
            m_loggedFailure = true;
            qWarning().noquote() << QStringLiteral("Pobi: speech failed: ") + m_speech.reason();
        }
        endAfter(quietMs(text), token);
        return;
    }
    m_current = id;
    // A synthesiser without an audio device accepts sentences and never reports their end;
    // without this bound the mascot would talk forever.
    endAfter(watchdogMs(text), token);
}

void Speaker::endAfter(int delayMs, int token) {
    if (m_quietTimer)
        delete m_quietTimer.data();
    m_quietTimer = m_clock.singleShot(delayMs, this, [this, token] {
        if (m_token != token)
            return;
        m_current = 0;
        setTalking(false);
    });
}

void Speaker::ended(quint64 id, SpeechService::Outcome) {
    if (id == 0 || id != m_current)
        return;
    m_current = 0;
    if (m_quietTimer)
        delete m_quietTimer.data();
    setTalking(false);
}

void Speaker::setTalking(bool talking) {
    if (m_talking == talking)
        return;
    m_talking = talking;
    emit changed();
    emit talkingChanged(m_talking);
}

void Speaker::loadVoices() {
    m_speech.requestVoices();
}

QString Speaker::userLanguage() {
    const QString name = QLocale().name(); // "de_DE", or "C"
    const QString lang = name.section(u'_', 0, 0);
    if (lang.isEmpty() || lang == QLatin1String("C") || QLocale().language() == QLocale::C)
        return QStringLiteral("en");
    return lang;
}

QList<VoiceInfo> Speaker::voices(bool allLanguages) const {
    return filterVoices(m_allVoices, allLanguages, userLanguage());
}

QList<VoiceInfo> Speaker::filterVoices(const QList<VoiceInfo>& all, bool allLanguages,
                                       const QString& lang) {
    QList<VoiceInfo> out;
    for (const auto& v : all) {
        if (allLanguages || v.language.startsWith(lang))
            out.append(v);
    }
    // The user's language first, then by tag, then by name.
    std::stable_sort(out.begin(), out.end(), [&lang](const VoiceInfo& a, const VoiceInfo& b) {
        const bool aMine = a.language.startsWith(lang);
        const bool bMine = b.language.startsWith(lang);
        if (aMine != bMine)
            return aMine;
        return std::tie(a.language, a.name) < std::tie(b.language, b.name);
    });
    return out;
}

QString Speaker::displayName(const VoiceInfo& voice, bool withLanguage) {
    if (!withLanguage)
        return voice.name;
    // Qt knows language and territory names in English and in their own language only; the
    // English name is the closest to "the name in the user's locale" it offers.
    const QLocale locale(voice.language);
    QString language;
    if (locale.language() != QLocale::C && locale.language() != QLocale::AnyLanguage) {
        language = QLocale::languageToString(locale.language());
        const QStringList parts = voice.language.split(u'-');
        if (parts.size() > 1 && locale.territory() != QLocale::AnyTerritory)
            language +=
                QStringLiteral(" (") + QLocale::territoryToString(locale.territory()) + u')';
    }
    if (language.isEmpty())
        language = voice.language;
    return voice.name + QStringLiteral(" · ") + language;
}
