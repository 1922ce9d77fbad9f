// How well sounds keep time on the real audio output, as recorded from the null sink's monitor:
// where each metronome beat event lands against its click, and where a timer's end chime and end
// line land against the timer's end. Needs a PulseAudio server whose default sink is the null
// sink "nullsink" (as scripts/services.sh starts), and speech-dispatcher for the end line.
// POBI_BENCH_SECONDS sets the length of a metronome run (default 60); POBI_BENCH_VERBOSE prints
// each beat event's error.
//
// The recording is put on the steady clock by timing its arrival: parecord hands each block on as
// the sink renders it, so the earliest any block arrives, less its place in the recording, is
// when the recording's first sample was played. The earliest is taken among the blocks within two
// seconds of the sample in question: the sink's sample clock and the steady clock drift apart by
// a few hundred parts per million (about 13 ms in 30 s here).

#include "MonitorRecorder.h"
#include "Spin.h"
#include "core/audio/AudioShare.h"
#include "core/audio/BellChime.h"
#include "core/audio/SharedAudioPlayer.h"
#include "core/clock/Clock.h"
#include "core/metronome/Metronome.h"
#include "core/settings/Settings.h"
#include "core/speech/Speaker.h"
#include "core/timer/Plan.h"
#include "core/timer/TimerEngine.h"
#include "platform/audio/QtAudioPlayer.h"
#include "platform/speechd/SpeechdService.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <array>
#include <benchmark/benchmark.h>
#include <cmath>
#include <csignal>
#include <ctime>
#include <mutex>
#include <numbers>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

// The clock the application's steady time is read from.
qint64 steadyNs() {
    timespec ts{};
    clock_gettime(CLOCK_BOOTTIME, &ts);
    return static_cast<qint64>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

double percentile(std::vector<double> v, double p) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const auto i = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

// parecord of the sink's monitor, read on a thread of its own that notes when each block
// arrives, so the main thread's load does not blur the timing.
class TimedRecording {
public:
    ~TimedRecording() { stop(); }

    bool start() {
        int fds[2];
        if (pipe(fds) != 0)
            return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addclose(&actions, fds[1]);
        const char* argv[] = {
            "parecord",     "--raw",        "--latency-msec=20", "--device=nullsink.monitor",
            "--rate=44100", "--channels=1", "--format=s16le",    nullptr};
        const int rc =
            posix_spawnp(&m_pid, "parecord", &actions, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        if (rc != 0) {
            close(fds[0]);
            m_pid = 0;
            return false;
        }
        m_fd = fds[0];
        m_reader = std::thread([this] { read(); });
        spin(400); // let the stream connect
        return true;
    }

    void stop() {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGINT);
        waitpid(m_pid, nullptr, 0);
        m_pid = 0;
        m_reader.join();
        close(m_fd);
        QList<qint16> samples(static_cast<qsizetype>(m_bytes.size() / 2));
        std::memcpy(samples.data(), m_bytes.data(), static_cast<std::size_t>(samples.size()) * 2);
        m_samples.load(std::move(samples));
    }

    const MonitorRecorder& samples() const { return m_samples; }
    // When sample n was played, on the steady clock.
    double msAt(qint64 n) const {
        return (static_cast<double>(originNs(n)) + static_cast<double>(n) * 1e9 / 44100.0) / 1e6;
    }
    // How much later than the earliest nearby the median block arrived (the timing's blur).
    double arrivalSpreadMs() const {
        std::vector<double> late;
        for (const auto& [first, origin] : m_reads)
            late.push_back(static_cast<double>(origin - originNs(first)) / 1e6);
        return percentile(late, 0.5);
    }

private:
    qint64 originNs(qint64 n) const {
        constexpr qint64 window = 2 * 44100;
        auto it =
            std::lower_bound(m_reads.begin(), m_reads.end(), std::pair{n - window, qint64(0)});
        qint64 best = std::numeric_limits<qint64>::max();
        for (; it != m_reads.end() && it->first <= n + window; ++it)
            best = std::min(best, it->second);
        return best;
    }

    void read() {
        std::array<char, 65536> buffer{};
        for (;;) {
            const ssize_t n = ::read(m_fd, buffer.data(), buffer.size());
            if (n <= 0)
                return;
            const qint64 at = steadyNs();
            const auto first = static_cast<qint64>(m_bytes.size() / 2);
            const auto origin =
                at - static_cast<qint64>(static_cast<double>(first) * 1e9 / 44100.0);
            m_reads.emplace_back(first, origin);
            m_bytes.insert(m_bytes.end(), buffer.begin(), buffer.begin() + n);
        }
    }

    pid_t m_pid = 0;
    int m_fd = -1;
    std::thread m_reader;
    std::vector<char> m_bytes;
    std::vector<std::pair<qint64, qint64>> m_reads; // first sample, arrival less its place
    MonitorRecorder m_samples;
};

// The metronome through the application's shared output, in three cases: a fresh output; one
// already running and ahead (another user, such as the end chime, holds it); a fresh one whose
// start is held up 50 ms by whoever watches the metronome start.
void BM_MetronomeOnTheRealOutput(benchmark::State& state) {
    const int seconds = qEnvironmentVariableIsSet("POBI_BENCH_SECONDS")
                            ? qEnvironmentVariableIntValue("POBI_BENCH_SECONDS")
                            : 60;
    const auto mode = state.range(0);
    QTemporaryDir dir;
    for (auto _ : state) {
        QSettings store(dir.filePath("bench.ini"), QSettings::IniFormat);
        QtAudioPlayer output;
        AudioShare share(output);
        SharedAudioPlayer holder(share);
        SharedAudioPlayer player(share);
        Metronome metronome(store, player, Clock::system());
        metronome.setBpm(120);
        TimedRecording recording;
        if (!recording.start()) {
            state.SkipWithError("parecord did not start");
            return;
        }
        if (mode == 1) {
            holder.start();
            spin(500);
        } else if (mode == 2) {
            QObject::connect(&metronome, &Metronome::runningChanged, [](bool on) {
                if (on)
                    QThread::msleep(50);
            });
        }
        std::vector<double> tickMs;
        QObject::connect(&metronome, &Metronome::ticked, [&](int, bool) {
            tickMs.push_back(static_cast<double>(steadyNs()) / 1e6);
        });
        metronome.start();
        if (!metronome.running()) {
            state.SkipWithError(("no audio output: " + player.errorString()).toStdString().c_str());
            return;
        }
        spin(seconds * 1000);
        metronome.stop();
        holder.stop();
        spin(400);
        recording.stop();

        // Silence is exactly 0 and both clicks exceed 2 from their second sample on.
        const auto onsets = recording.samples().onsets(2, 4000);
        std::vector<double> errors; // beat event less its click's onset; negative: early
        std::vector<double> absErrors;
        for (double t : tickMs) {
            double best = 1e9;
            for (qsizetype onset : onsets) {
                const double e = t - recording.msAt(onset);
                if (std::abs(e) < std::abs(best))
                    best = e;
            }
            if (qEnvironmentVariableIsSet("POBI_BENCH_VERBOSE"))
                fprintf(stderr, "beat %zu: %.2f ms\n", errors.size(), best);
            if (std::abs(best) < 250) {
                errors.push_back(best);
                absErrors.push_back(std::abs(best));
            }
        }
        double spacingMax = 0;
        for (qsizetype k = 1; k < onsets.size(); ++k)
            spacingMax = std::max(spacingMax, std::abs(double(onsets[k] - onsets[k - 1]) - 22050));

        state.counters["beats"] = static_cast<double>(tickMs.size());
        state.counters["clicks"] = static_cast<double>(onsets.size());
        state.counters["matched"] = static_cast<double>(errors.size());
        state.counters["beat_err_p50_ms"] = percentile(errors, 0.5);
        state.counters["beat_abs_err_p99_ms"] = percentile(absErrors, 0.99);
        state.counters["beat_abs_err_max_ms"] = percentile(absErrors, 1.0);
        state.counters["click_spacing_err_max_samples"] = spacingMax;
        state.counters["rec_blur_ms"] = recording.arrivalSpreadMs();
    }
}
BENCHMARK(BM_MetronomeOnTheRealOutput)
    ->ArgName("case")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

// A timer on the real output and speech server: when its chime is heard against its end, and
// its end line against the chime (both onsets as recorded).
void BM_TimerEndChimeAndLine(benchmark::State& state) {
    const auto seconds = state.range(0);
    QTemporaryDir dir;
    for (auto _ : state) {
        Settings settings(dir.filePath("settings.ini"));
        settings.setCountdown(0);
        settings.setHalfway(false);
        settings.setLastMinute(false);
        SpeechdService speech;
        if (!speech.available()) {
            state.SkipWithError(("no speech: " + speech.reason()).toStdString().c_str());
            return;
        }
        QtAudioPlayer output;
        AudioShare share(output);
        BellChime bell(share, Clock::system());
        Speaker speaker(speech, Clock::system());
        TimerEngine engine(settings, speaker, Clock::system(), &bell);
        TimedRecording recording;
        if (!recording.start()) {
            state.SkipWithError("parecord did not start");
            return;
        }
        const double endMs = static_cast<double>(steadyNs()) / 1e6 + 1000.0 * double(seconds);
        engine.start({Command::Kind::Timer, seconds, {}});
        spin(static_cast<int>(seconds) * 1000 + 3000);
        recording.stop();

        // The bell: the first loud sound after a quiet stretch, in the last 1.5 s or later.
        double bellMs = -1;
        for (qsizetype onset : recording.samples().onsets(300, 4410)) {
            if (recording.msAt(onset) > endMs - 1500) {
                bellMs = recording.msAt(onset);
                break;
            }
        }
        // The end line: the first sound below 700 Hz (none of the bell's) after the bell.
        double lineMs = -1;
        for (const auto& span : recording.samples().lowBandSounds(0.01, 5, 0)) {
            const double at = recording.msAt(qint64(span.beginMs) * 441 / 10);
            if (bellMs > 0 && at > bellMs + 50) {
                lineMs = at;
                break;
            }
        }
        state.counters["chime_after_end_ms"] = bellMs > 0 ? bellMs - endMs : 1e9;
        state.counters["end_line_after_chime_ms"] = lineMs > 0 ? lineMs - bellMs : 1e9;
        state.counters["rec_blur_ms"] = recording.arrivalSpreadMs();
    }
}
BENCHMARK(BM_TimerEndChimeAndLine)
    ->ArgName("seconds")
    ->Arg(5)
    ->Arg(20)
    ->Arg(60)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
