#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <optional>

// One pobi process under test, with its own settings folder and its debug messages on stderr.
class PobiProcess {
public:
    // firstLaunch false writes hasLaunched into the settings, so no greeting opens the popup.
    explicit PobiProcess(bool firstLaunch = false);
    ~PobiProcess() { stop(); }

    bool start();
    // When set, later starts see no display, QT_QPA_PLATFORM set to this (unset when empty) and
    // runtimeDir() as XDG_RUNTIME_DIR.
    std::optional<QString> platform;
    QProcessEnvironment environment() const;
    // The private XDG_RUNTIME_DIR that holds the socket (the temporary folder is 0700).
    QString runtimeDir() const { return m_config.path(); }
    void stop();
    // SIGKILL, as a crash would end it: none of its own shutdown runs.
    void kill() { m_process.kill(), m_process.waitForFinished(3000); }
    QString settingsFile() const { return m_config.filePath(QStringLiteral("pobi/pobi.ini")); }
    // Waits for a trace line containing text, from the line index from on.
    bool waitForTrace(const QString& text, int timeoutMs, int from = 0);
    // What it wrote to stderr so far, line by line: its debug messages, each led by its category
    // ("pobi.tray: popup shown"), and its warnings.
    QStringList trace();
    QString stderrText();
    // Runs another pobi with the same environment but no debug messages, and returns its exit
    // code (-1 on timeout or crash); out and err receive what it wrote, as a user would see it.
    int runAnother(const QStringList& args, int timeoutMs, QByteArray* out = nullptr,
                   QByteArray* err = nullptr);

private:
    void pump();
    QTemporaryDir m_config;
    QProcess m_process;
    QByteArray m_stderr;
};

// Under the private X server with a tray host: runs xdotool and returns what it printed.
QString xdotool(const QStringList& args);
