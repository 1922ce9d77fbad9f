#include "core/settings/Settings.h"

#include "core/log/Log.h"
#include "core/settings/LoginItem.h"
#include "core/text/StoredNames.h"
#include "core/text/Trim.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QtDebug>
#include <array>
#include <cmath>
#include <optional>

namespace {

// Values come back from the INI file as text (or as a typed variant when written by Qt itself);
// anything that does not convert cleanly counts as missing.

std::optional<bool> readBool(const QVariant& v) {
    if (v.typeId() == QMetaType::Bool)
        return v.toBool();
    if (v.typeId() != QMetaType::QString)
        return std::nullopt;
    const QString s = v.toString().trimmed();
    if (s == QLatin1String("true") || s == QLatin1String("1"))
        return true;
    if (s == QLatin1String("false") || s == QLatin1String("0"))
        return false;
    return std::nullopt;
}

std::optional<int> readInt(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Int:
        return v.toInt();
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong: {
        bool ok = false;
        const int n = v.toInt(&ok);
        return ok ? std::optional<int>(n) : std::nullopt;
    }
    case QMetaType::QString: {
        bool ok = false;
        const int n = v.toString().trimmed().toInt(&ok);
        return ok ? std::optional<int>(n) : std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

std::optional<double> readDouble(const QVariant& v) {
    bool ok = false;
    double d = 0;
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::LongLong:
        d = v.toDouble(&ok);
        break;
    case QMetaType::QString:
        d = v.toString().toDouble(&ok); // C locale, surrounding white space allowed
        break;
    default:
        break;
    }
    // "inf" and "nan" parse but would make the voice unusable.
    if (!ok || !std::isfinite(d))
        return std::nullopt;
    return d;
}

std::optional<QString> readString(const QVariant& v) {
    if (v.typeId() != QMetaType::QString)
        return std::nullopt;
    return v.toString();
}

// The mode's stored names, which files written by every earlier version use.
constexpr StoredNames<Settings::Mode, 3> modeNames{{
    {Settings::Mode::Timer, "timer"},
    {Settings::Mode::Stopwatch, "stopwatch"},
    {Settings::Mode::Tempo, "tempo"},
}};

std::optional<QStringList> readStringList(const QVariant& v) {
    if (v.typeId() == QMetaType::QStringList)
        return v.toStringList();
    // An INI list of one entry reads back as a plain string.
    if (v.typeId() == QMetaType::QString)
        return QStringList{v.toString()};
    return std::nullopt;
}

// Why the file cannot be written, or empty when it can. QSettings only says that some write
// failed, and keeps saying so after the cause is gone, so the write is tried again here, into
// a temporary file that never replaces the real one.
QString saveFailure(const QString& path) {
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return QStringLiteral("cannot create the folder %1").arg(info.absolutePath());
    QSaveFile probe(path);
    if (!probe.open(QIODevice::WriteOnly))
        return probe.errorString();
    probe.write(QByteArray(4096, '\n'));
    if (!probe.flush())
        return probe.errorString();
    probe.cancelWriting();
    return {};
}

} // namespace

Settings::Settings(const QString& path, LoginItem* loginItem, QObject* parent)
    : QObject(parent), m_store(std::make_unique<QSettings>(path.isEmpty() ? defaultPath() : path,
                                                           QSettings::IniFormat)),
      m_loginItem(loginItem) {
    const QSettings& d = *m_store;
    qCDebug(lcSettings) << "settings file" << d.fileName();
    auto value = [&d](const char* key) { return d.value(QLatin1String(key)); };

    m_voiceID = readString(value("voiceID")).value_or(QString());
    m_allLanguages = readBool(value("allLanguages")).value_or(false);
    m_rate = readDouble(value("rate")).value_or(1.0);
    m_tone =
        Tones::fromRawValue(readString(value("tone")).value_or(QString())).value_or(Tone::Calm);
    m_every = readInt(value("every")).value_or(5);
    m_onStart = readBool(value("onStart")).value_or(true);
    m_halfway = readBool(value("halfway")).value_or(true);
    m_lastMinute = readBool(value("lastMinute")).value_or(true);
    // Older versions kept only an on/off "countdown" flag; it meant a count from 5.
    if (const auto from = readInt(value("countdownFrom")))
        m_countdown = *from;
    else
        m_countdown = readBool(value("countdown")).value_or(true) ? 5 : 0;
    m_endMessage = readString(value("endMessage")).value_or(QString());
    m_onEnd = readBool(value("onEnd")).value_or(true);
    m_chime = readBool(value("chime")).value_or(true);
    m_laps = readBool(value("laps")).value_or(true);
    m_muted = readBool(value("muted")).value_or(false);
    m_notify = readBool(value("notify")).value_or(true);
    m_recents = readStringList(value("recents")).value_or(QStringList());
    m_mode = fromStoredName(modeNames, readString(value("mode")).value_or(QString()))
                 .value_or(Mode::Timer);
}

Settings::~Settings() = default;

QString Settings::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/pobi/pobi.ini");
}

void Settings::write(const char* key, const QVariant& value) {
    save(QLatin1String(key), value);
}

void Settings::save(const QString& key, const QVariant& value) {
    m_store->setValue(key, value);
    // Written through at once, so a crash or kill right after a change keeps it.
    m_store->sync();
    checkSaved();
}

void Settings::checkSaved() {
    const QString reason =
        m_store->status() == QSettings::NoError ? QString() : saveFailure(m_store->fileName());
    if (reason == m_saveFailure)
        return;
    m_saveFailure = reason;
    if (reason.isEmpty())
        return;
    qWarning().noquote()
        << QStringLiteral("Pobi: settings not saved: %1: %2").arg(m_store->fileName(), reason);
}

template <typename T, typename Signal>
void Settings::assign(T& member, const T& value, const char* key, const QVariant& stored,
                      Signal signal) {
    member = value;
    write(key, stored);
    emit changed();
    emit(this->*signal)(member);
}

void Settings::setVoiceID(const QString& v) {
    assign(m_voiceID, v, "voiceID", v, &Settings::voiceIDChanged);
}
void Settings::setAllLanguages(bool v) {
    assign(m_allLanguages, v, "allLanguages", v, &Settings::allLanguagesChanged);
}
void Settings::setRate(double v) {
    assign(m_rate, v, "rate", v, &Settings::rateChanged);
}
void Settings::setTone(Tone v) {
    assign(m_tone, v, "tone", Tones::rawValue(v), &Settings::toneChanged);
}
void Settings::setEvery(int v) {
    assign(m_every, v, "every", v, &Settings::everyChanged);
}
void Settings::setOnStart(bool v) {
    assign(m_onStart, v, "onStart", v, &Settings::onStartChanged);
}
void Settings::setHalfway(bool v) {
    assign(m_halfway, v, "halfway", v, &Settings::halfwayChanged);
}
void Settings::setLastMinute(bool v) {
    assign(m_lastMinute, v, "lastMinute", v, &Settings::lastMinuteChanged);
}
void Settings::setCountdown(int v) {
    assign(m_countdown, v, "countdownFrom", v, &Settings::countdownChanged);
}
void Settings::setEndMessage(const QString& v) {
    assign(m_endMessage, v, "endMessage", v, &Settings::endMessageChanged);
}
void Settings::setOnEnd(bool v) {
    assign(m_onEnd, v, "onEnd", v, &Settings::onEndChanged);
}
void Settings::setChime(bool v) {
    assign(m_chime, v, "chime", v, &Settings::chimeChanged);
}
void Settings::setLaps(bool v) {
    assign(m_laps, v, "laps", v, &Settings::lapsChanged);
}
void Settings::setMuted(bool v) {
    assign(m_muted, v, "muted", v, &Settings::mutedChanged);
}
void Settings::setNotify(bool v) {
    assign(m_notify, v, "notify", v, &Settings::notifyChanged);
}
void Settings::setRecents(const QStringList& v) {
    assign(m_recents, v, "recents", v, &Settings::recentsChanged);
}
void Settings::setMode(Mode v) {
    assign(m_mode, v, "mode", storedName(modeNames, v), &Settings::modeChanged);
}

void Settings::remember(const QString& text) {
    const QString entry = Trim::horizontal(text);
    if (entry.isEmpty() || entry.size() > maxRecent)
        return;
    const QString key = entry.toLower();
    QStringList list{entry};
    for (const QString& old : m_recents) {
        if (old.toLower() != key)
            list.append(old);
    }
    if (list.size() > 4)
        list = list.mid(0, 4);
    setRecents(list);
}

bool Settings::launchAtLogin() const {
    return m_loginItem && m_loginItem->enabled();
}

void Settings::setLaunchAtLogin(bool v) {
    emit changed();
    if (!m_loginItem) {
        qWarning().noquote() << "Pobi: launch at login failed: no login service on this system";
        return;
    }
    m_loginItem->setEnabled(v);
}
