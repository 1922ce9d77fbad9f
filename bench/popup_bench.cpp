#include "core/clock/Clock.h"
#include "core/director/CommandInterpreter.h"
#include "core/director/Director.h"
#include "core/mascot/MascotBrain.h"
#include "core/metronome/Metronome.h"
#include "core/settings/Settings.h"
#include "core/speech/Speaker.h"
#include "core/speech/SpeechService.h"
#include "core/timer/TimerEngine.h"
#include "ui/mascot/MascotView.h"
#include "ui/pages/PopoverView.h"
#include "ui/tray/PopupWindow.h"
#include "ui/tray/StatusController.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QPaintEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

// No synthesiser and no sound card: an idle popup asks neither for anything.
class NoSpeech final : public SpeechService {
public:
    bool available() const override { return false; }
    quint64 speak(const QString&, const QString&, double) override { return 0; }
    void stop() override {}
    void requestVoices() override {}
};

class NoAudio final : public AudioPlayer {
public:
    bool start() override { return false; }
    void stop() override {}
    bool isRunning() const override { return false; }
    QString errorString() const override { return QStringLiteral("no output"); }
    qint64 sampleTime() const override { return 0; }
    void scheduleVoice(int, const Buffer&, qint64) override {}
    void dropVoice(int) override {}
};

double processCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Runs the event loop as the application does: asleep until something is due.
void runFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Counts the mascot's repaints, the pixels repainted anywhere in the popup and the timer
// events that woke the application.
struct PaintCounter : QObject {
    long mascotPaints = 0;
    double pixels = 0;
    long timers = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        timers += event->type() == QEvent::Timer;
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            if (qobject_cast<MascotView*>(watched))
                ++mascotPaints;
            for (const QRect& r : static_cast<QPaintEvent*>(event)->region())
                pixels += static_cast<double>(r.width()) * r.height();
        }
        return false;
    }
};

} // namespace

// The popup open on its main page with nothing running, as a user leaves it while working:
// the process's CPU time per second of wall time, with the whole application stack behind it.
static void BM_PopupIdle(benchmark::State& state) {
    QTemporaryDir dir;
    Clock& clock = Clock::system();
    Settings settings(dir.filePath(QStringLiteral("settings.ini")));
    NoSpeech speech;
    Speaker speaker(speech, clock);
    NoAudio audio;
    Metronome metronome(settings.store(), audio, clock);
    MascotBrain mascot(MascotBrain::Mood::Content, true);
    TimerEngine engine(settings, speaker, clock);
    Director director(mascot, engine, metronome, speaker, settings, clock);
    CommandInterpreter interpreter(engine, metronome, settings, clock);
    StatusController status(
        engine, speaker, settings, metronome, clock,
        [&](PopoverUI& ui) {
            return new PopoverView(engine, speaker, settings, ui, metronome, mascot, clock,
                                   interpreter);
        },
        [](bool, int) { return QImage(); }, false);
    PaintCounter counter;
    qApp->installEventFilter(&counter);
    const int seconds = static_cast<int>(state.range(0));
    for (auto _ : state) {
        status.show();
        runFor(1000); // the opening paints are not idle
        counter.mascotPaints = 0;
        counter.pixels = 0;
        counter.timers = 0;
        const double cpu0 = processCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        runFor(seconds * 1000);
        const double elapsed = static_cast<double>(wall.nsecsElapsed()) / 1e9;
        state.SetIterationTime(elapsed);
        state.counters["core_%"] = 100 * (processCpuSeconds() - cpu0) / elapsed;
        state.counters["mascot_fps"] = static_cast<double>(counter.mascotPaints) / elapsed;
        state.counters["px_per_s"] = counter.pixels / elapsed;
        state.counters["timers_per_s"] = static_cast<double>(counter.timers) / elapsed;
        status.closePopup();
    }
    qApp->removeEventFilter(&counter);
}
BENCHMARK(BM_PopupIdle)->Arg(10)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
