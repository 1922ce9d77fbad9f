// A separate process for the platform tests, with the real Qt platform and services.
// Without arguments: a GUI application holding the hotkey the application uses. It reports on
// stdout, one line each: "status x11|portal|unavailable <reason>" once registered, and "pressed"
// for every run of the action. The test kills it.
// With "metronome": starts the metronome on the real audio output, reports
// "metronome running=<0|1> output=<0|1> beat=<n>" once the start has settled, and exits.
#include "core/clock/Clock.h"
#include "core/hotkey/Hotkey.h"
#include "core/metronome/Metronome.h"
#include "platform/audio/QtAudioPlayer.h"
#include "platform/hotkey/HotkeyServiceFactory.h"

#include <QGuiApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdio>

static void report(const QString& line) {
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

static int metronome(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QSettings store(dir.filePath(QStringLiteral("pobi.ini")), QSettings::IniFormat);
    QtAudioPlayer player;
    Metronome metronome(store, player, Clock::system());
    metronome.start();
    QCoreApplication::processEvents(); // what the failed start posted
    report(QStringLiteral("metronome running=%1 output=%2 beat=%3")
               .arg(int(metronome.running()))
               .arg(int(player.isRunning()))
               .arg(metronome.beat()));
    return 0;
}

int main(int argc, char** argv) {
    if (argc > 1 && qstrcmp(argv[1], "metronome") == 0)
        return metronome(argc, argv);
    QGuiApplication app(argc, argv);
    auto service = HotkeyServiceFactory::create();
    Hotkey hotkey(*service, QKeyCombination(Qt::ControlModifier | Qt::AltModifier, Qt::Key_T),
                  [] { report(QStringLiteral("pressed")); });
    static const char* names[] = {"x11", "portal", "unavailable"};
    report(QStringLiteral("status %1 %2")
               .arg(QLatin1String(names[static_cast<int>(service->backend())]), service->reason()));
    return app.exec();
}
