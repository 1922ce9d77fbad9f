#pragma once

#include <QByteArray>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <optional>

// One pobi process under test, with its own settings folder and its trace on standard error.
class PobiProcess {
public:
    // firstLaunch false writes hasLaunched into the settings, so no greeting opens the popup.
    explicit PobiProcess(bool firstLaunch = false);
    ~PobiProcess();

    bool start(const QStringList& args = {});
    void stop();
    QString configDir() const { return m_config.path(); }
    QString settingsFile() const;
    QProcessEnvironment environment() const;

    // Waits for a trace line containing text (searching from the line index from), returning
    // its index.
    std::optional<int> waitForTrace(const QString& text, int timeoutMs, int from = 0);
    QStringList trace();
    QString stderrText();

    // Runs another pobi with the same environment and returns its exit code (-1 on timeout).
    int runAnother(const QStringList& args, int timeoutMs, QByteArray* out = nullptr);

private:
    void pump();
    QTemporaryDir m_config;
    QProcess m_process;
    QByteArray m_stderr;
    bool m_started = false;
};

// Desktop helpers for tests that run under the private X server with a tray host.
namespace Desktop {
bool available();
QByteArray run(const QString& program, const QStringList& args, int timeoutMs = 5000,
               int* exitCode = nullptr);
// Visible windows of the pobi process (its tray icon, popup and menus).
QList<QRect> pobiWindows();
// The tray icon's rectangle once trayer has embedded it.
std::optional<QRect> trayIcon(int timeoutMs);
void click(QPoint at, int button);
void key(const QString& keys);
void type(const QString& text);
// Waits while pumping the event loop until pred holds.
bool waitUntil(const std::function<bool()>& pred, int timeoutMs);
} // namespace Desktop
