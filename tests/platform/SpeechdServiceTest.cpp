#include "speechd/SpeechdService.h"

#include "MonitorRecorder.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

namespace {

using Outcome = SpeechService::Outcome;

struct Ended {
    quint64 id;
    Outcome outcome;
};

// Collects ended() reports and waits, on a real event loop, until one for id comes.
class Endings : public QObject {
public:
    explicit Endings(SpeechService& s) {
        connect(&s, &SpeechService::ended, this, [this](quint64 id, Outcome o) {
            list.append({id, o});
        });
    }
    std::optional<Outcome> find(quint64 id) const {
        for (const auto& e : list)
            if (e.id == id)
                return e.outcome;
        return std::nullopt;
    }
    std::optional<Outcome> waitFor(quint64 id, int timeoutMs);
    QList<Ended> list;
};

// Spins a real event loop until done() or the timeout.
bool spinUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

std::optional<Outcome> Endings::waitFor(quint64 id, int timeoutMs) {
    spinUntil([&] { return find(id).has_value(); }, timeoutMs);
    return find(id);
}

TEST(SpeechdService, SpeaksASentenceAudiblyAndReportsItsEnd) {
    const SinkSettles settles;
    SpeechdService speech;
    ASSERT_TRUE(speech.available()) << speech.reason().toStdString();
    Endings endings(speech);
    MonitorRecorder rec;
    ASSERT_TRUE(rec.start());
    const quint64 id = speech.speak(QStringLiteral("Twenty five minutes. Let's begin."), {}, 1.0);
    ASSERT_NE(id, 0u);
    EXPECT_EQ(endings.waitFor(id, 15000), Outcome::Finished);
    rec.stop();
    const auto sounds = rec.sounds(0.02);
    ASSERT_FALSE(sounds.isEmpty()) << "nothing audible on the sink";
    const int spoken = sounds.last().endMs - sounds.first().beginMs;
    EXPECT_GT(spoken, 800) << "far too short for a sentence";
}

TEST(SpeechdService, ACutOffSentenceIsCancelledAndTheNextOneFinishes) {
    const SinkSettles settles;
    SpeechdService speech;
    ASSERT_TRUE(speech.available()) << speech.reason().toStdString();
    Endings endings(speech);
    const quint64 first = speech.speak(
        QStringLiteral("This is a long sentence that will never be heard to its end, because "
                       "another one comes along and cuts it off."),
        {}, 1.0);
    ASSERT_NE(first, 0u);
    QEventLoop loop;
    QTimer::singleShot(400, &loop, &QEventLoop::quit);
    loop.exec();
    speech.stop();
    const quint64 second = speech.speak(QStringLiteral("Done."), {}, 1.3);
    ASSERT_NE(second, 0u);
    EXPECT_NE(first, second);
    EXPECT_EQ(endings.waitFor(first, 5000), Outcome::Cancelled);
    EXPECT_EQ(endings.waitFor(second, 10000), Outcome::Finished);
}

TEST(SpeechdService, ListsBaseVoicesOnlyWithoutBlocking) {
    const SinkSettles settles;
    SpeechdService speech;
    ASSERT_TRUE(speech.available()) << speech.reason().toStdString();
    QList<QList<VoiceInfo>> ready;
    QObject::connect(&speech, &SpeechService::voicesReady,
                     [&ready](const QList<VoiceInfo>& v) { ready.append(v); });
    QElapsedTimer t;
    t.start();
    speech.requestVoices();
    EXPECT_LT(t.elapsed(), 200) << "listing must not block the caller";
    ASSERT_TRUE(spinUntil([&] { return !ready.isEmpty(); }, 20000));
    const auto voices = ready.first();
    // espeak-ng lists thousands of variants; about a hundred and thirty base voices remain.
    EXPECT_GT(voices.size(), 20);
    EXPECT_LT(voices.size(), 1000);
    bool english = false;
    for (const auto& v : voices) {
        EXPECT_FALSE(v.name.contains(u'+')) << v.name.toStdString();
        EXPECT_TRUE(v.id.startsWith(QStringLiteral("espeak-ng/"))) << v.id.toStdString();
        english = english || v.language.startsWith(QStringLiteral("en"));
    }
    EXPECT_TRUE(english);

    // A chosen voice is used without trouble and the cached list comes back at once.
    Endings endings(speech);
    const quint64 id = speech.speak(QStringLiteral("Hallo."), voices.first().id, 1.0);
    EXPECT_EQ(endings.waitFor(id, 10000), Outcome::Finished);
    speech.requestVoices();
    ASSERT_TRUE(spinUntil([&] { return ready.size() == 2; }, 1000));
    EXPECT_EQ(ready.last(), voices);
}

TEST(SpeechdService, AnUnreachableServerIsReportedNotFatal) {
    qputenv("SPEECHD_ADDRESS", "unix_socket:/nonexistent/pobi/speechd.sock");
    SpeechdService speech;
    qunsetenv("SPEECHD_ADDRESS");
    EXPECT_FALSE(speech.available());
    EXPECT_FALSE(speech.reason().isEmpty());
    EXPECT_EQ(speech.speak(QStringLiteral("Hello."), {}, 1.0), 0u);
    speech.stop(); // harmless
}

TEST(SpeechdService, RateFactorMapsOntoSpeechDispatchersScale) {
    struct Case {
        double factor;
        int rate;
    };
    for (const Case c : {Case{1.0, 0}, Case{0.6, -24}, Case{1.6, 36}, Case{1.25, 15},
                         Case{-5.0, -100}, Case{9.0, 100}})
        EXPECT_EQ(SpeechdService::spdRate(c.factor), c.rate) << c.factor;
}

} // namespace
