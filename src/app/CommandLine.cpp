#include "app/CommandLine.h"

#include <QCommandLineParser>

namespace {

// Options that Qt's own application classes take out of the arguments (on X11 and for
// widgets). They are accepted, hidden, so that "pobi -style fusion" still starts Pobi.
constexpr const char* qtValueOptions[] = {
    "platform", "platformpluginpath", "platformtheme",   "plugin",      "display",     "session",
    "style",    "stylesheet",         "qwindowgeometry", "qwindowicon", "qwindowtitle"};
constexpr const char* qtFlagOptions[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

} // namespace

CommandLine::CommandLine(const QStringList& arguments) {
    parse(arguments);
}

void CommandLine::parse(const QStringList& arguments) {
    QCommandLineParser parser;
    // Single-dash words are Qt's own long options ("-platform xcb"), not bundles of letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Pobi, a talking timekeeper in the tray. Without options it starts, or "
                       "opens the popup of the Pobi already running. A command is run as if "
                       "typed in the popup (\"25m tea\", \"sw\", \"p\", \"stop\", "
                       "\"120 bpm\"), by the Pobi running or by this one as it starts; its "
                       "summary goes to standard output, a rejected line exits with status 2. "
                       "Put -- before a command that starts with a dash."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption toggle(QStringLiteral("toggle"),
                                    QStringLiteral("Open the popup, or close it when open."));
    const QCommandLineOption snapshot(
        QStringLiteral("snapshot"),
        QStringLiteral("Write DIR/popover.png and DIR/settings.png, or with the command "
                       "tempo-check print the metronome's beat gaps, then exit."),
        QStringLiteral("DIR"));
    const QCommandLineOption status(
        QStringLiteral("status"),
        QStringLiteral("Print what the running Pobi is doing in one line; exit with status 1 "
                       "when none runs."));
    const QCommandLineOption json(QStringLiteral("json"),
                                  QStringLiteral("With --status: print a JSON object instead."));
    const QCommandLineOption quiet(QStringLiteral("quiet"),
                                   QStringLiteral("Print nothing for an accepted command."));
    const QCommandLineOption dark(QStringLiteral("dark"),
                                  QStringLiteral("Snapshot in the dark appearance."));
    const QCommandLineOption renderIcon(QStringLiteral("render-icon"),
                                        QStringLiteral("Write the desktop icon set into DIR."),
                                        QStringLiteral("DIR"));
    const QCommandLineOption renderMobile(QStringLiteral("render-mobile-icons"),
                                          QStringLiteral("Write the mobile icons into DIR."),
                                          QStringLiteral("DIR"));
    parser.addOptions({toggle, status, json, quiet, snapshot, dark, renderIcon, renderMobile});
    parser.addPositionalArgument(
        QStringLiteral("command"),
        QStringLiteral("What to run, as typed in the popup; with --snapshot: what to type first "
                       "(\"25m tea\", \"sw\", \"tempo\")."),
        QStringLiteral("[command]"));
    for (const char* name : qtValueOptions) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : qtFlagOptions) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    // Without an application object the parser cannot know the program's name.
    m_help = parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("pobi"));

    auto invalid = [this](const QString& why) {
        m_mode = Mode::Invalid;
        m_error = why;
    };
    if (!parser.parse(arguments))
        return invalid(parser.errorText());
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        m_mode = Mode::Help;
        return;
    }
    if (parser.isSet(version)) {
        m_mode = Mode::Version;
        return;
    }

    const std::pair<const QCommandLineOption*, Mode> modes[] = {
        {&toggle, Mode::Toggle},
        {&status, Mode::Status},
        {&snapshot, Mode::Snapshot},
        {&renderIcon, Mode::RenderIcon},
        {&renderMobile, Mode::RenderMobileIcons}};
    QStringList chosen;
    for (const auto& [option, mode] : modes) {
        if (!parser.isSet(*option))
            continue;
        chosen << QStringLiteral("--") + option->names().constFirst();
        m_mode = mode;
        if (!option->valueName().isEmpty()) {
            const QStringList values = parser.values(*option);
            if (values.size() > 1)
                return invalid(QStringLiteral("%1 takes one folder").arg(chosen.constLast()));
            m_directory = values.constFirst();
            if (m_directory.isEmpty())
                return invalid(QStringLiteral("%1 needs a folder").arg(chosen.constLast()));
        }
    }
    if (chosen.size() > 1)
        return invalid(
            QStringLiteral("%1 cannot go together").arg(chosen.join(QStringLiteral(", "))));

    m_dark = parser.isSet(dark);
    m_json = parser.isSet(json);
    m_quiet = parser.isSet(quiet);
    if (m_dark && m_mode != Mode::Snapshot)
        return invalid(QStringLiteral("--dark goes with --snapshot"));
    if (m_json && m_mode != Mode::Status)
        return invalid(QStringLiteral("--json goes with --status"));
    const QStringList words = parser.positionalArguments();
    if (words.isEmpty())
        return;
    if (m_mode == Mode::Run)
        m_mode = Mode::Command;
    else if (m_mode != Mode::Snapshot)
        return invalid(QStringLiteral("unexpected argument '%1'").arg(words.constFirst()));
    m_command = words.join(u' ');
}

bool CommandLine::offscreen() const {
    return m_mode == Mode::Snapshot || m_mode == Mode::RenderIcon ||
           m_mode == Mode::RenderMobileIcons;
}
