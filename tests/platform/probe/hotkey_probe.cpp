// A separate process for the end-to-end tests, with the real Qt platform and services.
// A GUI application holding the hotkey the application uses. It reports on
// stdout, one line each: "status x11|portal|unavailable <reason>" once registered, and "pressed"
// for every run of the action. The test kills it.
#include "core/hotkey/Hotkey.h"
#include "platform/hotkey/HotkeyServiceFactory.h"

#include <QGuiApplication>
#include <cstdio>

static void report(const QString& line) {
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    auto service = HotkeyServiceFactory::create();
    Hotkey hotkey(*service, QKeyCombination(Qt::ControlModifier | Qt::AltModifier, Qt::Key_T),
                  [] { report(QStringLiteral("pressed")); });
    static const char* names[] = {"x11", "portal", "unavailable"};
    report(QStringLiteral("status %1 %2")
               .arg(QLatin1String(names[static_cast<int>(service->backend())]), service->reason()));
    return app.exec();
}
