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

// A Pobi's state-keeping objects, on a clock behind UTC by 3:30, so the end time shows its offset
// in full.
struct World {
    TestDirs dirs;
    Settings settings{dirs.settingsFile()};
    FakeClock clock{QDateTime(QDate(2026, 3, 2), QTime(14, 20), QTimeZone(-(3 * 3600 + 1800)))};
    FakeSpeech speech;
    Speaker speaker{speech, clock};
    TimerEngine engine{settings, speaker, clock};
    FakeAudioPlayer player;
    Metronome metronome{settings.store(), player, clock};
};

TEST(StatusReport, TellsWhatRunsInWordsAndAsJson) {
    const struct {
        const char* name;
        std::function<void(World&)> setup;
        QString text;
        QByteArray json;
    } cases[] = {
        {"nothing", [](World&) {}, "idle",
         R"({"beats":4,"bpm":100,"mode":"idle","muted":false,"state":"idle","tempo":false})"},
        {"timer running",
         [](World& w) {
             w.engine.start({Kind::Timer, 25 * 60, QStringLiteral("Tea")});
             w.clock.advance(46'500);
         },
         "timer running 24:14 left · Tea · ends 14:45",
         R"({"beats":4,"bpm":100,"end":"2026-03-02T14:45:00-03:30","label":"Tea","mode":"timer",)"
         R"("muted":false,"remaining":1454,"state":"running","tempo":false})"},
        {"timer paused, muted",
         [](World& w) {
             w.engine.start({Kind::Timer, 600, {}});
             w.engine.pause();
             w.clock.advance(5000);
             w.settings.setMuted(true);
         },
         "timer paused 10:00 left · muted",
         R"({"beats":4,"bpm":100,"label":"","mode":"timer","muted":true,"remaining":600,)"
         R"("state":"paused","tempo":false})"},
        {"timer done",
         [](World& w) {
             w.engine.start({Kind::Timer, 5, QStringLiteral("Tea")});
             w.clock.advance(5100);
         },
         "timer done · Tea",
         R"({"beats":4,"bpm":100,"label":"Tea","mode":"timer","muted":false,"remaining":0,)"
         R"("state":"done","tempo":false})"},
        {"stopwatch with laps",
         [](World& w) {
             w.engine.start({Kind::Stopwatch, 0, {}});
             w.clock.advance(60'000);
             w.engine.lap();
             w.clock.advance(127'900);
             w.engine.lap();
         },
         "stopwatch 03:07 · 2 laps",
         R"({"beats":4,"bpm":100,"elapsed":187,"label":"","laps":2,"mode":"stopwatch",)"
         R"("muted":false,"state":"running","tempo":false})"},
        {"tempo alone",
         [](World& w) {
             w.metronome.setBpm(120);
             w.metronome.setBeats(3);
             w.metronome.start();
         },
         "tempo 120 3/4 running",
         R"({"beats":3,"bpm":120,"mode":"tempo","muted":false,"state":"running","tempo":true})"},
        {"paused stopwatch beside tempo",
         [](World& w) {
             w.engine.start({Kind::Stopwatch, 0, {}});
             w.clock.advance(30'000);
             w.engine.pause();
             w.metronome.start();
         },
         "stopwatch paused 00:30 · tempo 100 4/4 running",
         R"({"beats":4,"bpm":100,"elapsed":30,"label":"","laps":0,"mode":"stopwatch",)"
         R"("muted":false,"state":"paused","tempo":true})"},
    };
    for (const auto& c : cases) {
        World w;
        c.setup(w);
        EXPECT_EQ(StatusReport::text(w.engine, w.metronome, w.settings, w.clock, QLocale::c()),
                  c.text)
            << c.name;
        EXPECT_EQ(StatusReport::json(w.engine, w.metronome, w.settings, w.clock), c.json) << c.name;
    }
}

} // namespace
