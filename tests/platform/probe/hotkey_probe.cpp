// A separate process for the hotkey tests: a GUI application on the platform Qt picks, with the
// hotkey the application uses. It reports on stdout, one line each: "status x11|portal|unavailable
// <reason>", and "pressed <main|other> <after|inside>" for every run of the action (which thread,
// and whether the platform's handler had already returned). It exits when stdin closes.
#include "Hotkey.h"
#include "HotkeyServiceFactory.h"

#include <QGuiApplication>
#include <QSocketNotifier>
#include <QThread>
#include <cstdio>
#include <unistd.h>

namespace {
void report(const QString& line) {
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}
} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    auto service = HotkeyServiceFactory::create();
    bool handlerReturned = false;
    auto printStatus = [&] {
        static const char* names[] = {"x11", "portal", "unavailable"};
        report(QStringLiteral("status %1 %2")
                   .arg(QLatin1String(names[static_cast<int>(service->backend())]),
                        service->reason()));
    };
    QObject::connect(service.get(), &HotkeyService::statusChanged, printStatus);
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
    printStatus();

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[64];
        if (::read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
            app.quit();
    });
    return app.exec();
}
