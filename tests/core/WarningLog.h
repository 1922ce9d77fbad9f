#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Collects the warnings logged while it exists, instead of printing them.
class WarningLog {
public:
    WarningLog() {
        s_lines.clear();
        m_previous = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext&, const QString& text) {
                if (type == QtWarningMsg)
                    s_lines << text;
            });
    }
    ~WarningLog() { qInstallMessageHandler(m_previous); }
    WarningLog(const WarningLog&) = delete;
    WarningLog& operator=(const WarningLog&) = delete;

    QStringList lines() const { return s_lines; }

private:
    static inline QStringList s_lines;
    QtMessageHandler m_previous;
};
