#pragma once

#include "core/hotkey/DesktopShortcut.h"

#include <QStringList>
#include <optional>

// Ctrl+Alt+T as one of GNOME's custom keyboard shortcuts, through the gsettings tool (so any
// GSettings backend the session uses, also a test's keyfile one).
class GnomeShortcut final : public DesktopShortcut {
public:
    explicit GnomeShortcut(QString command = QStringLiteral("pobi --toggle"));

    State state() override;
    QString holder() const override { return m_holder; }
    bool add() override;
    bool remove() override;

    // Whether a GSettings accelerator ("<Primary><Alt>t") names control-alt-T.
    static bool isControlAltT(const QString& accelerator);
    static constexpr const char* path =
        "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/pobi/";

private:
    std::optional<QString> gsettings(const QStringList& args) const;
    std::optional<QStringList> customPaths() const;
    bool setCustomPaths(const QStringList& paths) const;

    QString m_command;
    QString m_holder;
};
