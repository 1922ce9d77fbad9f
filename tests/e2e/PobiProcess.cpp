#include "PobiProcess.h"

#include "Spin.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QRegularExpression>

PobiProcess::PobiProcess(bool firstLaunch) {
    QDir().mkpath(m_config.filePath(QStringLiteral("pobi")));
    QFile f(settingsFile());
    if (!firstLaunch && f.open(QIODevice::WriteOnly))
        f.write("[General]\nhasLaunched=true\n");
}

PobiProcess::~PobiProcess() {
    stop();
}

QProcessEnvironment PobiProcess::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
    env.insert(QStringLiteral("POBI_TRACE"), QStringLiteral("1"));
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
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(3000))
        m_process.kill();
    m_process.waitForFinished(3000);
}

void PobiProcess::pump() {
    QCoreApplication::processEvents();
    if (m_process.state() != QProcess::NotRunning)
        m_process.waitForReadyRead(20);
    m_stderr += m_process.readAllStandardError();
}

QStringList PobiProcess::trace() {
    pump();
    QStringList out;
    for (const QByteArray& line : m_stderr.split('\n'))
        if (line.startsWith("pobi-trace: "))
            out << QString::fromUtf8(line.mid(12));
    return out;
}

QString PobiProcess::stderrText() {
    pump();
    return QString::fromUtf8(m_stderr);
}

std::optional<int> PobiProcess::waitForTrace(const QString& text, int timeoutMs, int from) {
    QElapsedTimer t;
    t.start();
    do {
        const QStringList lines = trace();
        for (int i = from; i < lines.size(); ++i)
            if (lines[i].contains(text))
                return i;
    } while (t.elapsed() < timeoutMs && m_process.state() != QProcess::NotRunning);
    return std::nullopt;
}

int PobiProcess::runAnother(const QStringList& args, int timeoutMs, QByteArray* out,
                            QByteArray* err) {
    QProcess other;
    other.setProcessEnvironment(environment());
    other.start(QStringLiteral(POBI_EXE), args);
    QElapsedTimer t;
    t.start();
    // Keep reading the first process meanwhile, so its pipe never fills.
    while (!other.waitForFinished(20)) {
        pump();
        if (t.elapsed() > timeoutMs) {
            other.kill();
            other.waitForFinished(2000);
            return -1;
        }
    }
    if (out)
        *out = other.readAllStandardOutput();
    if (err)
        *err = other.readAllStandardError();
    return other.exitStatus() == QProcess::NormalExit ? other.exitCode() : -1;
}

namespace Desktop {

bool available() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") &&
           !qEnvironmentVariableIsEmpty("POBI_TEST_DISPLAY");
}

static QString run(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    if (!p.waitForFinished(5000))
        p.kill();
    p.waitForFinished(1000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

void xdotool(const QStringList& args) {
    run(args);
}

QList<QRect> pobiWindows() {
    static const QRegularExpression field(QStringLiteral("^(X|Y|WIDTH|HEIGHT)=(\\d+)$"),
                                          QRegularExpression::MultilineOption);
    QList<QRect> out;
    const QString ids = run({"search", "--onlyvisible", "--classname", "^pobi$"});
    for (const QString& id : ids.split(u'\n', Qt::SkipEmptyParts)) {
        QMap<QString, int> g;
        for (const auto& m : field.globalMatch(run({"getwindowgeometry", "--shell", id})))
            g[m.captured(1)] = m.captured(2).toInt();
        out << QRect(g["X"], g["Y"], g["WIDTH"], g["HEIGHT"]);
    }
    return out;
}

std::optional<QRect> trayIcon(int timeoutMs) {
    std::optional<QRect> found;
    spinUntil(
        [&] {
            for (const QRect& r : pobiWindows())
                if (r.width() > 0 && r.width() <= 64 && r.height() <= 64)
                    found = r;
            return found.has_value();
        },
        timeoutMs);
    return found;
}

} // namespace Desktop
