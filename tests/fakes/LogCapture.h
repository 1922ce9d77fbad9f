#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Collects every Qt log message while it lives (one at a time), so tests can check what was
// logged and that nothing else was.
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
    static void handle(QtMsgType, const QMessageLogContext&, const QString& text) {
        messages().append(text);
    }
    QtMessageHandler m_previous = nullptr;
};
