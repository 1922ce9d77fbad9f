#include "platform/xdg/XdgAutostart.h"

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

// A Pobi that PATH finds under its own name (an installed one) is named plainly, like in the menu
// entry, so the entry still starts Pobi after it moves between /usr/local and /usr, say from a
// source install to the package. Any other copy (a build folder) needs its absolute path.
QString command(const QString& executable) {
    const QFileInfo exe(executable);
    const QString found = QStandardPaths::findExecutable(exe.fileName());
    if (!found.isEmpty() && QFileInfo(found).canonicalFilePath() == exe.canonicalFilePath())
        return exe.fileName();
    return exe.absoluteFilePath();
}

// Hidden=true is how a desktop's settings switch an entry off without removing it.
bool entryEnabled(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine());
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0 && QStringView(line).left(eq).trimmed() == QLatin1String("Hidden") &&
            QStringView(line).mid(eq + 1).trimmed() == QLatin1String("true"))
            return false;
    }
    return true;
}

} // namespace

XdgAutostart::XdgAutostart(QString directory, QString executable)
    : m_directory(std::move(directory)), m_executable(std::move(executable)) {}

QString XdgAutostart::directory() const {
    if (!m_directory.isEmpty())
        return m_directory;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart");
}

QString XdgAutostart::filePath() const {
    return directory() + QStringLiteral("/" POBI_APP_ID ".desktop");
}

QString XdgAutostart::oldFilePath() const {
    return directory() + QStringLiteral("/pobi.desktop");
}

bool XdgAutostart::enabled() const {
    return entryEnabled(QFile::exists(filePath()) ? filePath() : oldFilePath());
}

void XdgAutostart::setEnabled(bool enabled) {
    const QString path = filePath();
    if (!enabled) {
        for (const QString& entry : {path, oldFilePath()}) {
            if (QFile::exists(entry) && !QFile::remove(entry))
                fail(QStringLiteral("cannot remove %1").arg(entry));
        }
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
        << "Exec=" << execValue(command(exe)) << "\n"
        << "Icon=" POBI_APP_ID "\n"
        << "Terminal=false\n"
        << "X-GNOME-Autostart-enabled=true\n";
    out.flush();
    if (!file.commit()) {
        fail(file.errorString());
        return;
    }
    // Two entries would start Pobi twice at login.
    if (QFile::exists(oldFilePath()) && !QFile::remove(oldFilePath()))
        fail(QStringLiteral("cannot remove %1").arg(oldFilePath()));
}
