#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Collects every Qt log message while it lives (one at a time), so tests can check what was
// logged and that nothing else was. Debug messages are left out: a developer may have turned
// them on for the run.
class LogCapture {
public:
    LogCapture() {
        messages().clear();
        m_previous = qInstallMessageHandler(&LogCapture::handle);
    }
    ~LogCapture() { qInstallMessageHandler(m_previous); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    static QStringList& messages() {
        static QStringList list;
        return list;
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type != QtDebugMsg)
            messages().append(text);
    }
    QtMessageHandler m_previous = nullptr;
};
