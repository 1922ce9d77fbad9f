#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What the command line asks for. It is read once, before any application object exists, so
// that --help, --version and a mistyped option never need a display nor start the tray.
class CommandLine {
public:
    enum class Mode {
        Run,               // the tray application; hands "open" to a running one
        Toggle,            // the same, handing "toggle"
        Command,           // the same, handing command() to run as if typed in the popup
        Status,            // asks the running one what runs; never starts one
        Snapshot,          // pictures of the popup, or the metronome check
        RenderIcon,        // the desktop icon set
        RenderMobileIcons, // the mobile icons
        Help,
        Version,
        Invalid, // error() says why; the usage goes with it
    };

    // arguments: the whole argv, the program first.
    explicit CommandLine(const QStringList& arguments);

    Mode mode() const { return m_mode; }
    // The folder of the snapshot or of an export.
    QString directory() const { return m_directory; }
    bool dark() const { return m_dark; }
    // The words after the options (the snapshot's: after its folder), joined by spaces.
    std::optional<QString> command() const { return m_command; }
    // --status --json: the status as a JSON object.
    bool json() const { return m_json; }
    // --quiet: an accepted command prints nothing.
    bool quiet() const { return m_quiet; }
    QString error() const { return m_error; }
    QString helpText() const { return m_help; }

    // Whether the mode only draws into images: it needs no display and must not use one.
    bool offscreen() const;

private:
    void parse(const QStringList& arguments);

    Mode m_mode = Mode::Run;
    QString m_directory;
    bool m_dark = false;
    bool m_json = false;
    bool m_quiet = false;
    std::optional<QString> m_command;
    QString m_error;
    QString m_help;
};
