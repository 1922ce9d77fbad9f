// A separate process for the hotkey tests: a GUI application on the platform Qt picks, with the
// hotkey the application uses. It reports on stdout, one line each: "status x11|portal|unavailable
// <reason>" once registered, and "pressed <main|other> <after|inside>" for every run of the action
// (which thread, and whether the platform's handler had already returned). The test kills it.
#include "Hotkey.h"
#include "HotkeyServiceFactory.h"

#include <QGuiApplication>
#include <QThread>
#include <cstdio>

static void report(const QString& line) {
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    auto service = HotkeyServiceFactory::create();
    bool handlerReturned = false;
    Hotkey hotkey(*service, Hotkey::checked(17), Hotkey::checked(6144), [&] {
        const bool main = QThread::currentThread() == app.thread();
        report(QStringLiteral("pressed %1 %2")
                   .arg(QLatin1String(main ? "main" : "other"),
                        QLatin1String(handlerReturned ? "after" : "inside")));
        handlerReturned = false;
    });
    // Connected after the Hotkey, so it is the last thing the handler does: an action run from
    // inside the handler would find the flag still down.
    QObject::connect(service.get(), &HotkeyService::activated, [&] { handlerReturned = true; });
    static const char* names[] = {"x11", "portal", "unavailable"};
    report(QStringLiteral("status %1 %2")
               .arg(QLatin1String(names[static_cast<int>(service->backend())]), service->reason()));
    return app.exec();
}
