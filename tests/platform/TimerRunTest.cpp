#include "AudioShare.h"
#include "BellChime.h"
#include "Clock.h"
#include "MonitorRecorder.h"
#include "Plan.h"
#include "Settings.h"
#include "Speaker.h"
#include "Spin.h"
#include "TestDirs.h"
#include "TimerEngine.h"
#include "audio/QtAudioPlayer.h"
#include "speechd/SpeechdService.h"

#include <gtest/gtest.h>

namespace {

// A 15-second timer on the real speech server, audio output and clock, recorded from the sound
// server: its start line, its final count, the chime and the end line must come out in that order.
// Speech is told from the bell by spectrum: the bell has nothing below 1.3 kHz, espeak's voice
// carries most of its energy there; the bell's fundamental is a sharp peak speech does not have.
TEST(TimerRun, FifteenSecondsSpeakCountChimeAndEndInOrder) {
    const SinkSettles settles;
    TestDirs dirs;
    Settings settings(dirs.settingsFile());
    settings.setCountdown(3); // count 3, 2, 1: well apart from the start line
    SpeechdService speech;
    ASSERT_TRUE(speech.available()) << speech.reason().toStdString();
    QtAudioPlayer output;
    AudioShare share(output);
    BellChime bell(share, Clock::system());
    Speaker speaker(speech, Clock::system());
    TimerEngine engine(settings, speaker, Clock::system(), &bell);

    MonitorRecorder rec;
    ASSERT_TRUE(rec.start());
    QElapsedTimer sinceStart;
    sinceStart.start();
    engine.start({Kind::Timer, 15, {}});
    qint64 doneAt = -1;
    QObject::connect(&engine, &TimerEngine::eventSent, [&](const QString& e) {
        if (e == QLatin1String("done"))
            doneAt = sinceStart.elapsed();
    });
    spin(19000);
    rec.stop();
    ASSERT_EQ(engine.state(), TimerEngine::State::Done);
    EXPECT_NEAR(doneAt, 15000, 300);

    const auto speechSpans = rec.lowBandSounds(0.01);
    const auto bellAt = rec.toneOnsetMs(1318.5, 0.05);
    QString trace = QStringLiteral("bell at %1 ms; speech:").arg(bellAt);
    for (const auto& sp : speechSpans)
        trace += QStringLiteral(" %1-%2").arg(sp.beginMs).arg(sp.endMs);
    SCOPED_TRACE(trace.toStdString());
    ASSERT_GE(speechSpans.size(), 5) << "start line, three counts and the end line";
    ASSERT_GE(bellAt, 0) << "no chime recorded";
    // The recording began before the engine started; align on the start line's onset.
    const int origin = speechSpans.first().beginMs;
    EXPECT_LT(origin, 1500) << "the start line comes at once";
    const int chime = bellAt - origin;
    EXPECT_NEAR(chime, 15000, 700);
    int startLine = 0, endLine = -1;
    QList<int> counts;
    for (const auto& sp : speechSpans) {
        const int at = sp.beginMs - origin;
        if (at < 5000)
            startLine = sp.endMs - origin;
        else if (at > 11500 && at < chime)
            counts.append(at);
        else if (at > chime && endLine < 0)
            endLine = at;
    }
    EXPECT_GT(startLine, 1000) << "a whole sentence at the start";
    ASSERT_EQ(counts.size(), 3) << "the final count 3, 2, 1";
    EXPECT_NEAR(counts[1] - counts[0], 1000, 300);
    EXPECT_NEAR(counts[2] - counts[1], 1000, 300);
    EXPECT_NEAR(chime - counts[2], 1000, 400);
    ASSERT_GE(endLine, 0) << "no end line after the chime";
    EXPECT_NEAR(endLine - chime, 600, 400);
    EXPECT_EQ(speaker.caption(), Plan::make(15, {}, settings).at(0).text);
}

} // namespace
