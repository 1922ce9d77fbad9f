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

// The Exec= value of a desktop entry: an argument with spaces or reserved characters is quoted
// (with ", `, $ and \ escaped inside), "%" is doubled since it starts a field code, and then
// every backslash is escaped once more because Exec is also a string value.
QString execValue(const QString& path) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needs = false;
    for (QChar c : path)
        needs = needs || reserved.contains(c);
    QString arg;
    if (needs) {
        arg = QStringLiteral("\"");
        for (QChar c : path) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
                arg += u'\\';
            arg += c;
        }
        arg += u'"';
    } else {
        arg = path;
    }
    arg.replace(u'%', QStringLiteral("%%"));
    arg.replace(u'\\', QStringLiteral("\\\\"));
    arg.replace(u'\n', QStringLiteral("\\n"));
    return arg;
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
        const QString line = QString::fromUtf8(file.readLine());
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0 && QStringView(line).left(eq).trimmed() == QLatin1String("Hidden") &&
            QStringView(line).mid(eq + 1).trimmed() == QLatin1String("true"))
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
        << "Exec=" << execValue(QFileInfo(exe).absoluteFilePath()) << "\n"
        << "Icon=pobi\n"
        << "Terminal=false\n"
        << "X-GNOME-Autostart-enabled=true\n";
    out.flush();
    if (!file.commit())
        fail(file.errorString());
}
