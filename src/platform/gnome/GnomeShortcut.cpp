#include "platform/gnome/GnomeShortcut.h"

#include "core/log/Log.h"

#include <QProcess>
#include <QRegularExpression>

namespace {
const QString schema = QStringLiteral("org.gnome.settings-daemon.plugins.media-keys");
const QString customKey = QStringLiteral("custom-keybindings");

QString custom(const QString& at) {
    return schema + QStringLiteral(".custom-keybinding:") + at;
}

// GVariant text of a string: single quotes, with backslash and quote escaped.
QString quoted(const QString& s) {
    QString out = s;
    out.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('\''), "\\'");
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

QStringList strings(const QString& gvariant) {
    static const QRegularExpression item(QStringLiteral(R"('((?:[^'\\]|\\.)*)')"));
    QStringList out;
    for (const auto& m : item.globalMatch(gvariant))
        out << m.captured(1);
    return out;
}
} // namespace

GnomeShortcut::GnomeShortcut(QString command) : m_command(std::move(command)) {}

std::optional<QString> GnomeShortcut::gsettings(const QStringList& args) const {
    QProcess p;
    p.start(QStringLiteral("gsettings"), args);
    if (!p.waitForFinished(5000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        qCDebug(lcHotkey) << "gsettings" << args << "failed:" << p.readAllStandardError();
        p.kill();
        return std::nullopt;
    }
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

std::optional<QStringList> GnomeShortcut::customPaths() const {
    const auto list = gsettings({QStringLiteral("get"), schema, customKey});
    if (!list)
        return std::nullopt;
    return strings(*list);
}

bool GnomeShortcut::setCustomPaths(const QStringList& paths) const {
    QStringList items;
    for (const QString& p : paths)
        items << quoted(p);
    const QString value = items.isEmpty() ? QStringLiteral("@as []")
                                          : QLatin1Char('[') + items.join(", ") + QLatin1Char(']');
    return gsettings({QStringLiteral("set"), schema, customKey, value}).has_value();
}

bool GnomeShortcut::isControlAltT(const QString& accelerator) {
    static const QRegularExpression part(QStringLiteral("<([^>]+)>|([^<]+)"));
    QStringList modifiers;
    QString key;
    for (const auto& m : part.globalMatch(accelerator.trimmed())) {
        if (m.hasCaptured(1)) {
            const QString mod = m.captured(1).toLower();
            modifiers << (mod == QLatin1String("primary") || mod == QLatin1String("ctrl")
                              ? QStringLiteral("control")
                              : mod);
        } else {
            key = m.captured(2).toLower();
        }
    }
    modifiers.sort();
    modifiers.removeDuplicates();
    return key == QLatin1String("t") && modifiers == QStringList{"alt", "control"};
}

DesktopShortcut::State GnomeShortcut::state() {
    m_holder.clear();
    const auto paths = customPaths();
    if (!paths)
        return State::Unsupported;
    if (paths->contains(QLatin1String(path)))
        return State::Added;
    // Another custom shortcut, or one of GNOME's own (the terminal's, on some systems).
    for (const QString& other : *paths) {
        const auto binding = gsettings({QStringLiteral("get"), custom(other), "binding"});
        if (binding && !strings(*binding).isEmpty() && isControlAltT(strings(*binding).first())) {
            const auto name = gsettings({QStringLiteral("get"), custom(other), "name"});
            m_holder = name && !strings(*name).isEmpty() ? strings(*name).first() : other;
            return State::Taken;
        }
    }
    const auto all = gsettings({QStringLiteral("list-recursively"), schema});
    for (const QString& line : all.value_or(QString()).split(QLatin1Char('\n'))) {
        const QStringList fields = line.split(QLatin1Char(' '));
        for (const QString& accel : strings(line)) {
            if (fields.size() > 2 && isControlAltT(accel)) {
                m_holder = fields.at(1);
                return State::Taken;
            }
        }
    }
    return State::Absent;
}

bool GnomeShortcut::add() {
    if (state() != State::Absent)
        return false;
    const QString at = QString::fromLatin1(path);
    const bool written =
        gsettings({"set", custom(at), "name", quoted(QStringLiteral("Pobi"))}) &&
        gsettings({"set", custom(at), "command", quoted(m_command)}) &&
        gsettings({"set", custom(at), "binding", quoted(QStringLiteral("<Control><Alt>t"))});
    return written && setCustomPaths(*customPaths() << at);
}

bool GnomeShortcut::remove() {
    auto paths = customPaths();
    if (!paths)
        return false;
    const QString at = QString::fromLatin1(path);
    paths->removeAll(at);
    for (const char* key : {"name", "command", "binding"})
        gsettings({QStringLiteral("reset"), custom(at), QLatin1String(key)});
    return setCustomPaths(*paths);
}
