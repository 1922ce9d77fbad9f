#include "app/AppMain.h"

#include "app/AppDelegate.h"
#include "app/CommandLine.h"
#include "platform/instance/SingleInstance.h"
#include "platform/process/TerminationSignals.h"

#include <QApplication>
#include <cstdio>
#include <memory>

namespace {

using InstanceMessage::Message;
using InstanceMessage::Reply;
using InstanceMessage::Request;

void printLine(std::FILE* stream, const QString& text) {
    std::fprintf(stream, "%s\n", text.toLocal8Bit().constData());
}

Message messageFor(const CommandLine& line) {
    switch (line.mode()) {
    case CommandLine::Mode::Toggle:
        return {Request::Toggle, {}};
    case CommandLine::Mode::Command:
        return {Request::Run, line.command().value_or(QString())};
    default:
        return {Request::Open, {}};
    }
}

// Prints a command's reply as the shell expects it: the summary on standard output, a refusal
// on standard error with status 2.
int answer(const Reply& reply, const CommandLine& line) {
    if (!reply.ok) {
        printLine(stderr, QStringLiteral("pobi: ") + reply.text);
        return 2;
    }
    if (!line.quiet() && !reply.text.isEmpty())
        printLine(stdout, reply.text);
    return 0;
}

} // namespace

int askStatus(int& argc, char** argv, const CommandLine& line) {
    const QCoreApplication app(argc, argv);
    const SingleInstance instance;
    Reply reply;
    if (instance.socketPath().isEmpty() ||
        instance.send({line.json() ? Request::StatusJson : Request::Status, {}}, 10000, &reply) !=
            SingleInstance::Sent::Delivered) {
        printLine(stderr, QStringLiteral("pobi: no Pobi is running"));
        return 1;
    }
    if (!reply.ok) {
        printLine(stderr, QStringLiteral("pobi: ") + reply.text);
        return 1;
    }
    printLine(stdout, reply.text);
    return 0;
}

int runPobi(int& argc, char** argv, const CommandLine& line) {
    const bool snapshot = line.mode() == CommandLine::Mode::Snapshot;
    // Without any display the application still runs, reachable by nothing but its socket.
    const bool noDisplay =
        qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && noDisplay)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The snapshot renders off screen (the caller has chosen the platform): Qt's own options,
    // such as -platform, must not override that.
    if (snapshot)
        argc = 1;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pobi"));
    // Lets a Wayland compositor find the installed menu entry and its icon.
    QApplication::setDesktopFileName(QStringLiteral(POBI_APP_ID));
    // Pobi lives in the tray: closing the popup must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    const TerminationSignals termination;

    const Message message = messageFor(line);
    const bool command = message.request == Request::Run;
    if (InstanceMessage::request(message).size() > InstanceMessage::maxLine) {
        printLine(stderr, QStringLiteral("pobi: the command is too long"));
        return 2;
    }
    // The snapshot leaves the socket to the Pobi that may be running beside it.
    std::unique_ptr<SingleInstance> instance;
    if (!snapshot) {
        instance = std::make_unique<SingleInstance>();
        Reply reply;
        switch (instance->claim(message, 10000, &reply)) {
        case SingleInstance::Claim::Handed:
            // A Pobi already runs and answered.
            if (command)
                return answer(reply, line);
            if (!reply.ok)
                printLine(stderr, QStringLiteral("pobi: ") + reply.text);
            return reply.ok ? 0 : 1;
        case SingleInstance::Claim::Unanswered:
            qWarning().noquote() << "Pobi: another Pobi is running but does not answer on"
                                 << instance->socketPath();
            return 1;
        case SingleInstance::Claim::Primary:
        case SingleInstance::Claim::Unavailable:
            break;
        }
    }

    AppDelegate delegate(line);
    if (command) {
        // A line that would do nothing starts nothing either; nor does quitting a Pobi that
        // does not run.
        const CommandInterpreter::Outcome checked = delegate.check(message.text);
        if (!checked.accepted())
            return answer({false, checked.error}, line);
        if (checked.action == CommandInterpreter::Action::Quit)
            return 0;
    }
    delegate.start();
    if (line.mode() == CommandLine::Mode::Toggle)
        delegate.toggle(); // `pobi --toggle` with nothing running opens the popup
    if (command)
        (void)answer(delegate.handle(message), line);
    std::fflush(stdout);
    // Later processes' requests, held until now, come after this one's own.
    if (instance)
        instance->setHandler([&delegate](const Message& m) { return delegate.handle(m); });
    return app.exec();
}
