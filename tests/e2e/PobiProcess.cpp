#include "PobiProcess.h"

#include <QCoreApplication>
#include <QSettings>
#include <QtCore/qtestsupport_core.h>

PobiProcess::PobiProcess(bool firstLaunch) {
    if (!firstLaunch)
        QSettings(settingsFile(), QSettings::IniFormat).setValue("hasLaunched", true);
}

QProcessEnvironment PobiProcess::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
    // Pobi's debug messages on, each led by its category as Qt's default pattern has it.
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("pobi.*.debug=true"));
    env.remove(QStringLiteral("QT_MESSAGE_PATTERN"));
    // Without a desktop there is no sound or speech to share its runtime folder with.
    if (platform) {
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir());
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        if (!platform->isEmpty())
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), *platform);
    }
    return env;
}

bool PobiProcess::start() {
    m_process.setProcessEnvironment(environment());
    m_process.start(QStringLiteral(POBI_EXE), {});
    return m_process.waitForStarted(5000);
}

void PobiProcess::stop() {
    m_process.terminate();
    if (!m_process.waitForFinished(3000))
        kill();
}

void PobiProcess::pump() {
    QCoreApplication::processEvents();
    if (m_process.state() != QProcess::NotRunning)
        m_process.waitForReadyRead(20);
    m_stderr += m_process.readAllStandardError();
}

QStringList PobiProcess::trace() {
    QStringList lines = stderrText().split(u'\n');
    lines.removeLast(); // the line still being written, if any
    return lines;
}

QString PobiProcess::stderrText() {
    pump();
    return QString::fromUtf8(m_stderr);
}

bool PobiProcess::waitForTrace(const QString& text, int timeoutMs, int from) {
    const auto seen = [&] { return !trace().mid(from).filter(text).isEmpty(); };
    // A Pobi that has ended writes no more.
    (void)QTest::qWaitFor([&] { return seen() || m_process.state() == QProcess::NotRunning; },
                          timeoutMs);
    return seen();
}

int PobiProcess::runAnother(const QStringList& args, int timeoutMs, QByteArray* out,
                            QByteArray* err) {
    QProcess other;
    QProcessEnvironment env = environment();
    env.remove(QStringLiteral("QT_LOGGING_RULES"));
    other.setProcessEnvironment(env);
    other.start(QStringLiteral(POBI_EXE), args);
    // Keep reading the first process meanwhile, so its pipe never fills.
    const auto finished = [&] {
        pump();
        return other.state() == QProcess::NotRunning || other.waitForFinished(10);
    };
    if (!QTest::qWaitFor(finished, timeoutMs))
        return -1; // and the QProcess ends it
    if (out)
        *out = other.readAllStandardOutput();
    if (err)
        *err = other.readAllStandardError();
    return other.exitStatus() == QProcess::NormalExit ? other.exitCode() : -1;
}

QString xdotool(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    p.waitForFinished(5000); // one that hangs is ended with the QProcess
    return QString::fromUtf8(p.readAllStandardOutput());
}
