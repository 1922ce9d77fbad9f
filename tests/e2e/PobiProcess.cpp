#include "PobiProcess.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

PobiProcess::PobiProcess(bool firstLaunch) {
    if (!firstLaunch) {
        QDir().mkpath(m_config.filePath(QStringLiteral("pobi")));
        QFile f(settingsFile());
        if (f.open(QIODevice::WriteOnly))
            f.write("[General]\nhasLaunched=true\n");
    }
}

PobiProcess::~PobiProcess() {
    stop();
}

QString PobiProcess::settingsFile() const {
    return m_config.filePath(QStringLiteral("pobi/pobi.ini"));
}

QProcessEnvironment PobiProcess::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
    env.insert(QStringLiteral("POBI_TRACE"), QStringLiteral("1"));
    return env;
}

bool PobiProcess::start(const QStringList& args) {
    m_process.setProcessEnvironment(environment());
    m_process.start(QStringLiteral(POBI_EXE), args);
    m_started = m_process.waitForStarted(5000);
    return m_started;
}

void PobiProcess::stop() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}

void PobiProcess::pump() {
    QCoreApplication::processEvents();
    if (!m_started)
        return;
    m_process.waitForReadyRead(20);
    m_stderr += m_process.readAllStandardError();
}

QStringList PobiProcess::trace() {
    pump();
    QStringList out;
    for (const QByteArray& line : m_stderr.split('\n')) {
        if (line.startsWith("pobi-trace: "))
            out << QString::fromUtf8(line.mid(12));
    }
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
        for (int i = from; i < lines.size(); ++i) {
            if (lines[i].contains(text))
                return i;
        }
    } while (t.elapsed() < timeoutMs && m_process.state() != QProcess::NotRunning);
    return std::nullopt;
}

int PobiProcess::runAnother(const QStringList& args, int timeoutMs, QByteArray* out) {
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
    return other.exitStatus() == QProcess::NormalExit ? other.exitCode() : -1;
}

namespace Desktop {

bool available() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") &&
           !qEnvironmentVariableIsEmpty("POBI_TEST_DISPLAY");
}

QByteArray run(const QString& program, const QStringList& args, int timeoutMs, int* exitCode) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(1000);
    }
    if (exitCode)
        *exitCode = p.exitCode();
    return p.readAllStandardOutput();
}

QList<QRect> pobiWindows() {
    QList<QRect> out;
    const QByteArray ids =
        run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                        QStringLiteral("--classname"), QStringLiteral("^pobi$")});
    for (const QByteArray& id : ids.split('\n')) {
        if (id.trimmed().isEmpty())
            continue;
        const QByteArray shell =
            run(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"),
                                            QStringLiteral("--shell"), QString::fromLatin1(id)});
        int x = 0, y = 0, w = 0, h = 0;
        for (const QByteArray& line : shell.split('\n')) {
            const int eq = line.indexOf('=');
            if (eq < 0)
                continue;
            const QByteArray key = line.left(eq);
            const int value = line.mid(eq + 1).toInt();
            if (key == "X")
                x = value;
            else if (key == "Y")
                y = value;
            else if (key == "WIDTH")
                w = value;
            else if (key == "HEIGHT")
                h = value;
        }
        out << QRect(x, y, w, h);
    }
    return out;
}

std::optional<QRect> trayIcon(int timeoutMs) {
    std::optional<QRect> found;
    waitUntil(
        [&] {
            for (const QRect& r : pobiWindows()) {
                if (r.width() > 0 && r.width() <= 64 && r.height() <= 64)
                    found = r;
            }
            return found.has_value();
        },
        timeoutMs);
    return found;
}

void click(QPoint at, int button) {
    run(QStringLiteral("xdotool"),
        {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
         QStringLiteral("click"), QString::number(button)});
}

void key(const QString& keys) {
    run(QStringLiteral("xdotool"), {QStringLiteral("key"), keys});
}

void type(const QString& text) {
    run(QStringLiteral("xdotool"),
        {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"), text});
}

bool waitUntil(const std::function<bool()>& pred, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    while (!pred()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents();
        QThread::msleep(50);
    }
    return true;
}

} // namespace Desktop
