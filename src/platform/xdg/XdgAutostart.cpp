#include "XdgAutostart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>
#include <QtDebug>

namespace {

void fail(const QString& reason) {
    qWarning().noquote() << "Pobi: launch at login failed:" << reason;
}

// Exec= needs quoting when the path has spaces or reserved characters.
QString quoteExec(const QString& path) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needs = false;
    for (QChar c : path)
        needs = needs || reserved.contains(c);
    if (!needs)
        return path;
    QString out = QStringLiteral("\"");
    for (QChar c : path) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            out += u'\\';
        out += c;
    }
    return out + u'"';
}

} // namespace

XdgAutostart::XdgAutostart(QString directory, QString executable)
    : m_directory(std::move(directory)), m_executable(std::move(executable)) {}

QString XdgAutostart::filePath() const {
    QString dir = m_directory;
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
              QStringLiteral("/autostart");
    return dir + QStringLiteral("/pobi.desktop");
}

bool XdgAutostart::enabled() const {
    QFile file(filePath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    // A user may switch the entry off in their desktop's settings, which writes Hidden=true.
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1String("Hidden=")) &&
            line.mid(7).trimmed().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return false;
    }
    return true;
}

void XdgAutostart::setEnabled(bool enabled) {
    const QString path = filePath();
    if (!enabled) {
        if (QFile::exists(path) && !QFile::remove(path))
            fail(QStringLiteral("cannot remove %1").arg(path));
        return;
    }
    QString exe = m_executable;
    if (exe.isEmpty())
        exe = QCoreApplication::applicationFilePath();
    if (exe.isEmpty()) {
        fail(QStringLiteral("the program's own path is unknown"));
        return;
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        fail(QStringLiteral("cannot create %1").arg(QFileInfo(path).absolutePath()));
        return;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        fail(file.errorString());
        return;
    }
    QTextStream out(&file);
    out << "[Desktop Entry]\n"
        << "Type=Application\n"
        << "Name=Pobi\n"
        << "Comment=A talking timekeeper\n"
        << "Exec=" << quoteExec(QFileInfo(exe).absoluteFilePath()) << "\n"
        << "Icon=pobi\n"
        << "Terminal=false\n"
        << "X-GNOME-Autostart-enabled=true\n";
    out.flush();
    if (!file.commit())
        fail(file.errorString());
}
