#pragma once

#include "LoginItem.h"

#include <QString>

// Launch at login through an XDG autostart entry: $XDG_CONFIG_HOME/autostart/pobi.desktop.
class XdgAutostart final : public LoginItem {
public:
    // directory: where the .desktop file lives; empty means the user's autostart folder.
    // executable: the Exec= path; empty means the running program.
    explicit XdgAutostart(QString directory = QString(), QString executable = QString());

    bool enabled() const override;
    void setEnabled(bool enabled) override;
    QString filePath() const;

private:
    QString m_directory;
    QString m_executable;
};
