#include "core/instance/StatusReport.h"

#include "CoreDesk.h"

#include <QTimeZone>
#include <gtest/gtest.h>

// One Pobi through its states, on a clock 3:30 behind UTC, so the end time shows its offset in
// full. Each report is read in words and as JSON.
TEST(StatusReport, TellsWhatRunsInWordsAndAsJson) {
    CoreDesk desk{QDateTime(QDate(2026, 3, 2), QTime(14, 20), QTimeZone(-(3 * 3600 + 1800)))};
    const auto expect = [&](const char* text, const char* json) {
        EXPECT_EQ(StatusReport::text(desk.engine, desk.metronome, desk.settings, desk.clock,
                                     QLocale::c()),
                  QString::fromUtf8(text));
        EXPECT_EQ(StatusReport::json(desk.engine, desk.metronome, desk.settings, desk.clock),
                  QByteArray(json))
            << text;
    };

    expect("idle", R"({"beats":4,"bpm":100,"mode":"idle","muted":false,"state":"idle",)"
                   R"("tempo":false})");
    desk.engine.start({Command::Kind::Timer, 1500, QStringLiteral("Tea")});
    desk.clock.advance(46'500);
    expect("timer running 24:14 left · Tea · ends 14:45",
           R"({"beats":4,"bpm":100,"end":"2026-03-02T14:45:00-03:30","label":"Tea",)"
           R"("mode":"timer","muted":false,"remaining":1454,"state":"running","tempo":false})");
    desk.clock.advance(1'453'600);
    expect("timer done · Tea", R"({"beats":4,"bpm":100,"label":"Tea","mode":"timer",)"
                               R"("muted":false,"remaining":0,"state":"done","tempo":false})");

    desk.engine.start({Command::Kind::Stopwatch, 0, {}});
    desk.clock.advance(60'000);
    desk.engine.lap();
    desk.clock.advance(127'900);
    desk.engine.lap();
    expect("stopwatch 03:07 · 2 laps",
           R"({"beats":4,"bpm":100,"elapsed":187,"label":"","laps":2,"mode":"stopwatch",)"
           R"("muted":false,"state":"running","tempo":false})");
    desk.engine.pause();
    desk.metronome.setBpm(120);
    desk.metronome.setBeats(3);
    desk.metronome.start();
    expect("stopwatch paused 03:07 · 2 laps · tempo 120 3/4 running",
           R"({"beats":3,"bpm":120,"elapsed":187,"label":"","laps":2,"mode":"stopwatch",)"
           R"("muted":false,"state":"paused","tempo":true})");
    desk.engine.stop();
    desk.settings.setMuted(true);
    expect("tempo 120 3/4 running · muted",
           R"({"beats":3,"bpm":120,"mode":"tempo","muted":true,"state":"running","tempo":true})");
}
