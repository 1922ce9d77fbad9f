#include "AppMain.h"

#include "AppDelegate.h"
#include "instance/SingleInstance.h"

#include <QApplication>
#include <QStringList>
#include <cstring>

namespace {

bool hasArgument(int argc, char** argv, const char* name) {
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0)
            return true;
    }
    return false;
}

// "--snapshot" followed by a folder; a "--snapshot" that is the last argument is ignored.
bool snapshotMode(int argc, char** argv) {
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--snapshot") == 0)
            return i + 1 < argc;
    }
    return false;
}

} // namespace

int runPobi(int& argc, char** argv) {
    const bool snapshot = snapshotMode(argc, argv);
    // The snapshot renders off screen whatever the desktop, so its files do not depend on the
    // screen's scale and it never shows a tray icon next to a running Pobi. Without any display
    // the application still runs, reachable by nothing but its socket.
    const bool noDisplay =
        qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && (snapshot || noDisplay))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pobi"));
    // Lets a Wayland compositor find the installed menu entry and its icon.
    QApplication::setDesktopFileName(QStringLiteral(POBI_APP_ID));
    // Pobi lives in the tray: closing the popup must not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    const auto request = hasArgument(argc, argv, "--toggle") ? InstanceMessage::Request::Toggle
                                                             : InstanceMessage::Request::Open;
    SingleInstance instance;
    if (!snapshot) {
        // A Pobi already runs: hand it the request instead of adding a second tray icon.
        if (instance.sendToRunning(request))
            return 0;
        if (!instance.listen() && instance.sendToRunning(request))
            return 0; // another one started at the same moment and won
    }

    AppDelegate delegate(QApplication::arguments());
    delegate.applicationDidFinishLaunching();
    QObject::connect(&instance, &SingleInstance::requested, &delegate, &AppDelegate::handle);
    if (!snapshot && request == InstanceMessage::Request::Toggle)
        delegate.toggle(); // `pobi --toggle` with nothing running opens the popup
    return app.exec();
}
