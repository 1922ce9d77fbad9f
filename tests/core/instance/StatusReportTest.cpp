#include "core/instance/StatusReport.h"

#include "FakeAudioPlayer.h"
#include "FakeClock.h"
#include "FakeSpeech.h"
#include "TestDirs.h"
#include "core/metronome/Metronome.h"
#include "core/settings/Settings.h"
#include "core/speech/Speaker.h"
#include "core/timer/TimerEngine.h"

#include <QTimeZone>
#include <functional>
#include <gtest/gtest.h>

namespace {

// A Pobi's state, on a clock 3:30 behind UTC, so the end time shows its offset in full.
struct World {
    TestDirs dirs;
    Settings settings{dirs.settingsFile()};
    FakeClock clock{QDateTime(QDate(2026, 3, 2), QTime(14, 20), QTimeZone(-(3 * 3600 + 1800)))};
    FakeSpeech speech;
    Speaker speaker{speech, clock};
    TimerEngine engine{settings, speaker, clock};
    FakeAudioPlayer player;
    Metronome metronome{settings.store(), player, clock};
    void start(Command::Kind kind, qint64 total, const char* label, qint64 thenMs) {
        engine.start({kind, total, QString::fromUtf8(label)});
        clock.advance(thenMs);
    }
};

TEST(StatusReport, TellsWhatRunsInWordsAndAsJson) {
    const struct {
        std::function<void(World&)> setup;
        QString text;
        QByteArray json; // the keys that differ from nothing running
    } cases[] = {
        {[](World&) {}, "idle", R"("mode":"idle","muted":false,"state":"idle","tempo":false)"},
        {[](World& w) { w.start(Command::Kind::Timer, 1500, "Tea", 46'500); },
         "timer running 24:14 left · Tea · ends 14:45",
         R"("end":"2026-03-02T14:45:00-03:30","label":"Tea","mode":"timer","muted":false,)"
         R"("remaining":1454,"state":"running","tempo":false)"},
        {[](World& w) {
             w.start(Command::Kind::Timer, 600, "", 0);
             w.engine.pause();
             w.clock.advance(5000);
             w.settings.setMuted(true);
         },
         "timer paused 10:00 left · muted",
         R"("label":"","mode":"timer","muted":true,"remaining":600,"state":"paused","tempo":false)"},
        {[](World& w) { w.start(Command::Kind::Timer, 5, "Tea", 5100); }, "timer done · Tea",
         R"("label":"Tea","mode":"timer","muted":false,"remaining":0,"state":"done","tempo":false)"},
        {[](World& w) {
             w.start(Command::Kind::Stopwatch, 0, "", 60'000);
             w.engine.lap();
             w.clock.advance(127'900);
             w.engine.lap();
         },
         "stopwatch 03:07 · 2 laps",
         R"("elapsed":187,"label":"","laps":2,"mode":"stopwatch","muted":false,"state":"running",)"
         R"("tempo":false)"},
        {[](World& w) {
             w.metronome.setBpm(120);
             w.metronome.setBeats(3);
             w.metronome.start();
         },
         "tempo 120 3/4 running", R"("mode":"tempo","muted":false,"state":"running","tempo":true)"},
        {[](World& w) {
             w.start(Command::Kind::Stopwatch, 0, "", 30'000);
             w.engine.pause();
             w.metronome.start();
         },
         "stopwatch paused 00:30 · tempo 100 4/4 running",
         R"("elapsed":30,"label":"","laps":0,"mode":"stopwatch","muted":false,"state":"paused",)"
         R"("tempo":true)"},
    };
    for (const auto& c : cases) {
        World w;
        c.setup(w);
        EXPECT_EQ(StatusReport::text(w.engine, w.metronome, w.settings, w.clock, QLocale::c()),
                  c.text);
        const QByteArray tempo = QByteArray(R"({"beats":)") +
                                 QByteArray::number(w.metronome.beats()) + R"(,"bpm":)" +
                                 QByteArray::number(w.metronome.bpm()) + ',';
        EXPECT_EQ(StatusReport::json(w.engine, w.metronome, w.settings, w.clock),
                  tempo + c.json + '}')
            << c.text.toStdString();
    }
}

} // namespace
