#pragma once

#include <QString>
#include <QTemporaryDir>

// A private settings file for one test, so no test ever reads or writes the user's own.
class TestDirs {
public:
    QString path() const { return m_dir.path(); }
    QString settingsFile() const { return m_dir.filePath(QStringLiteral("pobi.ini")); }
    QString file(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};
