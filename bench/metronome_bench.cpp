// How well the metronome keeps time on the real audio output: how far each beat event lands from
// its click's ideal time, and where the clicks land in what the sound server played. Needs a
// PulseAudio server whose default sink is the null sink "nullsink" (as scripts/services.sh starts).
// POBI_BENCH_SECONDS sets the length of the run (default 60).

#include "Clock.h"
#include "Metronome.h"
#include "audio/QtAudioPlayer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <csignal>
#include <cstring>

namespace {

void spin(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double percentile(std::vector<double> v, double p) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const auto i = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

std::vector<qint16> readWav(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray wav = f.readAll();
    qsizetype at = 12;
    while (at + 8 <= wav.size()) {
        quint32 size = 0;
        std::memcpy(&size, wav.constData() + at + 4, 4);
        if (wav.mid(at, 4) == "data") {
            const qsizetype bytes = std::min<qsizetype>(size, wav.size() - at - 8);
            std::vector<qint16> out(static_cast<std::size_t>(bytes / 2));
            std::memcpy(out.data(), wav.constData() + at + 8, out.size() * 2);
            return out;
        }
        at += 8 + size;
    }
    return {};
}

void BM_MetronomeOnTheRealOutput(benchmark::State& state) {
    const int seconds = qEnvironmentVariableIsSet("POBI_BENCH_SECONDS")
                            ? qEnvironmentVariableIntValue("POBI_BENCH_SECONDS")
                            : 60;
    QTemporaryDir dir;
    for (auto _ : state) {
        QSettings store(dir.filePath("bench.ini"), QSettings::IniFormat);
        QtAudioPlayer player;
        Metronome metronome(store, player, Clock::system());
        metronome.setBpm(120);

        QProcess recorder;
        const QString wav = dir.filePath("clicks.wav");
        recorder.start("parecord",
                       {"--latency-msec=20", "--device=nullsink.monitor", "--rate=44100",
                        "--channels=1", "--format=s16le", "--file-format=wav", wav});
        spin(400);

        // Beat k's click starts at frame 3528 + 22050 k of the player's timeline, which starts
        // with start(); its ideal time is that many frames after start(), on the steady clock.
        QElapsedTimer clock;
        std::vector<double> deliveredMs;
        std::vector<double> headLagMs;
        QObject::connect(&metronome, &Metronome::ticked, [&](int, bool) {
            deliveredMs.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
            const auto k = static_cast<qint64>(deliveredMs.size() - 1);
            headLagMs.push_back(static_cast<double>(player.sampleTime() - (3528 + 22050 * k)) *
                                1000.0 / 44100.0);
        });
        clock.start();
        metronome.start();
        if (!metronome.running()) {
            state.SkipWithError(("no audio output: " + player.errorString()).toStdString().c_str());
            return;
        }
        spin(seconds * 1000);
        metronome.stop();
        spin(400);
        ::kill(static_cast<pid_t>(recorder.processId()), SIGINT);
        recorder.waitForFinished(5000);

        std::vector<double> errors;
        std::vector<double> signedErrors; // negative: the event came before the ideal time
        std::vector<double> spacing;
        for (std::size_t k = 0; k < deliveredMs.size(); ++k) {
            const double ideal = (3528.0 + 22050.0 * static_cast<double>(k)) * 1000.0 / 44100.0;
            errors.push_back(std::abs(deliveredMs[k] - ideal));
            signedErrors.push_back(deliveredMs[k] - ideal);
            if (k > 0)
                spacing.push_back(std::abs(deliveredMs[k] - deliveredMs[k - 1] - 500.0));
        }
        std::vector<double> lag;
        for (double v : headLagMs)
            lag.push_back(std::abs(v));

        // Click onsets in what the server played: the first non-zero sample after silence.
        const auto samples = readWav(wav);
        std::vector<qint64> onsets;
        qint64 quiet = 4000;
        for (std::size_t i = 0; i < samples.size(); ++i) {
            if (samples[i] != 0) {
                if (quiet >= 4000)
                    onsets.push_back(static_cast<qint64>(i));
                quiet = 0;
            } else {
                ++quiet;
            }
        }
        double onsetMax = 0;
        for (std::size_t k = 1; k < onsets.size(); ++k)
            onsetMax =
                std::max<double>(onsetMax, std::abs(static_cast<double>(onsets[k] - onsets[0]) -
                                                    22050.0 * static_cast<double>(k)));

        state.counters["beats"] = static_cast<double>(deliveredMs.size());
        state.counters["tick_err_p50_ms"] = percentile(errors, 0.5);
        state.counters["tick_err_signed_p50_ms"] = percentile(signedErrors, 0.5);
        state.counters["tick_err_p99_ms"] = percentile(errors, 0.99);
        state.counters["tick_err_max_ms"] = percentile(errors, 1.0);
        state.counters["tick_gap_err_p50_ms"] = percentile(spacing, 0.5);
        state.counters["tick_gap_err_p99_ms"] = percentile(spacing, 0.99);
        state.counters["tick_gap_err_max_ms"] = percentile(spacing, 1.0);
        state.counters["head_lag_p50_ms"] = percentile(lag, 0.5);
        state.counters["head_lag_max_ms"] = percentile(lag, 1.0);
        state.counters["onsets"] = static_cast<double>(onsets.size());
        state.counters["onset_err_max_samples"] = onsetMax;
    }
}
BENCHMARK(BM_MetronomeOnTheRealOutput)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
