#include "app/AppMain.h"

#include "app/AppDelegate.h"
#include "app/CommandLine.h"
#include "platform/instance/SingleInstance.h"
#include "platform/process/TerminationSignals.h"

#include <QApplication>
#include <memory>

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

    const auto request = line.mode() == CommandLine::Mode::Toggle ? InstanceMessage::Request::Toggle
                                                                  : InstanceMessage::Request::Open;
    // The snapshot leaves the socket to the Pobi that may be running beside it.
    std::unique_ptr<SingleInstance> instance;
    if (!snapshot) {
        instance = std::make_unique<SingleInstance>();
        switch (instance->claim(request)) {
        case SingleInstance::Claim::Handed:
            return 0; // a Pobi already runs and took the request
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
    delegate.start();
    if (instance)
        QObject::connect(instance.get(), &SingleInstance::requested, &delegate,
                         &AppDelegate::handle);
    if (line.mode() == CommandLine::Mode::Toggle)
        delegate.toggle(); // `pobi --toggle` with nothing running opens the popup
    return app.exec();
}
