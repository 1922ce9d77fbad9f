#pragma once

#include "core/settings/LoginItem.h"

#include <QString>

// Launch at login through an XDG autostart entry named after the application id in
// $XDG_CONFIG_HOME/autostart. An entry under the name earlier versions used counts as well, and
// is replaced when the switch changes.
class XdgAutostart final : public LoginItem {
public:
    // directory: where the .desktop file lives; empty means the user's autostart folder.
    // executable: the program to start; empty means the running program.
    explicit XdgAutostart(QString directory = QString(), QString executable = QString());

    bool enabled() const override;
    void setEnabled(bool enabled) override;
    QString filePath() const;

private:
    QString directory() const;
    QString oldFilePath() const;

    QString m_directory;
    QString m_executable;
};
