#include "MonitorRecorder.h"

#include <QFile>
#include <QFileInfo>
#include <QtCore/qtestsupport_core.h>
#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <utility>
#include <vector>

bool MonitorRecorder::start() {
    m_process.start(QStringLiteral("parecord"),
                    {"--latency-msec=20", "--device=nullsink.monitor", "--rate=44100",
                     "--channels=1", "--format=s16le", "--raw", m_dir.filePath("out.raw")});
    const auto quiet = [this] {
        QFile file(m_dir.filePath(QStringLiteral("out.raw")));
        const qint64 bytes = 2 * sampleRate; // longer than the pause between two sentences
        if (!file.open(QIODevice::ReadOnly) || file.size() < bytes ||
            !file.seek(file.size() - bytes))
            return false;
        const QByteArray tail = file.read(bytes);
        const auto* s = reinterpret_cast<const qint16*>(tail.constData());
        m_skip = file.size() & ~qint64(1); // what came before, a sound dying away, is not kept
        return std::all_of(s, s + tail.size() / 2, [](qint16 v) { return std::abs(v) <= 2; });
    };
    return m_process.waitForStarted(3000) && QTest::qWaitFor(quiet, 20000);
}

int MonitorRecorder::recordedMs() const {
    return int((QFileInfo(m_dir.filePath(QStringLiteral("out.raw"))).size() - m_skip) / 2 * 1000 /
               sampleRate);
}

void MonitorRecorder::stop(int untilMs) {
    const int until = std::max(untilMs, recordedMs() + 300);
    (void)QTest::qWaitFor([&] { return recordedMs() >= until; }, until - recordedMs() + 3000);
    m_process.terminate(); // SIGTERM: parecord flushes and exits
    m_process.waitForFinished(3000);
    QFile file(m_dir.filePath(QStringLiteral("out.raw")));
    const QByteArray data =
        file.open(QIODevice::ReadOnly) && file.seek(m_skip) ? file.readAll() : QByteArray();
    m_samples.resize(data.size() / 2);
    memcpy(m_samples.data(), data.constData(), static_cast<size_t>(m_samples.size()) * 2);
}

namespace {

// Eighth-order Butterworth-like low-pass (four cascaded biquads, RBJ cookbook): a 1.3 kHz tone
// comes out more than 40 dB down.
std::vector<double> lowPass(const QList<qint16>& in, double cutoff) {
    const double w0 = 2 * std::numbers::pi * cutoff / MonitorRecorder::sampleRate;
    const double q[] = {0.5098, 0.6013, 0.9000, 2.5629};
    std::vector<double> x(in.begin(), in.end());
    for (double qi : q) {
        const double alpha = std::sin(w0) / (2 * qi);
        const double c = std::cos(w0);
        const double a0 = 1 + alpha;
        const double b0 = (1 - c) / 2 / a0; // b1 is twice b0, b2 equals it
        const double a1 = -2 * c / a0, a2 = (1 - alpha) / a0;
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        for (double& v : x) {
            const double y = b0 * (v + 2 * x1 + x2) - a1 * y1 - a2 * y2;
            x2 = std::exchange(x1, v);
            y2 = std::exchange(y1, y);
            v = y;
        }
    }
    return x;
}

} // namespace

QList<qsizetype> MonitorRecorder::onsets(int threshold, int gap) const {
    QList<qsizetype> found;
    qsizetype quiet = gap;
    for (qsizetype i = 0; i < m_samples.size(); ++i) {
        if (std::abs(m_samples[i]) <= threshold) {
            ++quiet;
            continue;
        }
        if (quiet >= gap)
            found.append(i);
        quiet = 0;
    }
    return found;
}

QList<MonitorRecorder::Span> MonitorRecorder::lowBandSounds(double threshold, int windowMs,
                                                            int mergeMs) const {
    const std::vector<double> samples = lowPass(m_samples, 700);
    const int n = sampleRate * windowMs / 1000;
    QList<Span> out;
    for (std::size_t i = 0; i + std::size_t(n) <= samples.size(); i += std::size_t(n)) {
        double sum = 0;
        for (std::size_t j = i; j < i + std::size_t(n); ++j)
            sum += samples[j] * samples[j];
        if (std::sqrt(sum / n) / 32768.0 < threshold)
            continue;
        const int at = int(i * 1000 / sampleRate);
        if (!out.isEmpty() && at - out.last().endMs <= mergeMs)
            out.last().endMs = at + windowMs;
        else
            out.append({at, at + windowMs});
    }
    return out;
}

int MonitorRecorder::toneOnsetMs(double hz, double amplitude) const {
    // The one frequency's share of each 20 ms window, as its correlation with a complex sine.
    const int n = sampleRate / 50;
    const double step = 2 * std::numbers::pi * hz / sampleRate;
    for (qsizetype i = 0; i + n <= m_samples.size(); i += n) {
        std::complex<double> c;
        double sum = 0;
        for (qsizetype j = i; j < i + n; ++j) {
            const double x = m_samples[j] / 32768.0;
            sum += x * x;
            c += x * std::polar(1.0, -step * double(j - i));
        }
        const double amp = 2 * std::abs(c) / n;
        // The tone must also carry most of the window's energy (a sine's rms is amp / sqrt 2):
        // a voice has some energy at any one frequency, but never most of it.
        if (amp >= amplitude && amp * amp / 2 >= 0.5 * sum / n)
            return int(i * 1000 / sampleRate);
    }
    return -1;
}
