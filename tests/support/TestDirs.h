#pragma once

#include <QFile>
#include <QString>
#include <QTemporaryDir>

// A private settings file for one test, so no test ever reads or writes the user's own.
class TestDirs {
public:
    QString path() const { return m_dir.path(); }
    QString settingsFile() const { return m_dir.filePath(QStringLiteral("pobi.ini")); }
    QString file(const QString& name) const { return m_dir.filePath(name); }
    // The whole of the file at path (empty when there is none), and a file written whole.
    static QByteArray read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static bool write(const QString& path, const QByteArray& body) {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(body) == body.size();
    }

private:
    QTemporaryDir m_dir;
};
