#include "MonitorRecorder.h"

#include <QFile>
#include <QThread>
#include <cmath>

MonitorRecorder::MonitorRecorder() = default;

MonitorRecorder::~MonitorRecorder() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

bool MonitorRecorder::start() {
    m_process.setProgram(QStringLiteral("parecord"));
    m_process.setArguments({QStringLiteral("--latency-msec=20"),
                            QStringLiteral("--device=nullsink.monitor"),
                            QStringLiteral("--rate=%1").arg(kRate), QStringLiteral("--channels=1"),
                            QStringLiteral("--format=s16le"), QStringLiteral("--raw"),
                            m_dir.filePath(QStringLiteral("out.raw"))});
    m_process.start();
    if (!m_process.waitForStarted(3000))
        return false;
    // Let the stream connect before anything is played.
    QThread::msleep(300);
    return true;
}

void MonitorRecorder::stop() {
    m_process.terminate(); // SIGTERM: parecord flushes and exits
    m_process.waitForFinished(3000);
    QFile file(m_dir.filePath(QStringLiteral("out.raw")));
    m_samples.clear();
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray data = file.readAll();
    m_samples.resize(data.size() / 2);
    memcpy(m_samples.data(), data.constData(), static_cast<size_t>(m_samples.size()) * 2);
}

QList<double> MonitorRecorder::levels(int windowMs) const {
    const int n = kRate * windowMs / 1000;
    QList<double> out;
    for (qsizetype i = 0; i + n <= m_samples.size(); i += n) {
        double sum = 0;
        for (qsizetype j = i; j < i + n; ++j)
            sum += double(m_samples[j]) * m_samples[j];
        out.append(std::sqrt(sum / n) / 32768.0);
    }
    return out;
}

QList<MonitorRecorder::Span> MonitorRecorder::sounds(double threshold, int windowMs,
                                                     int mergeMs) const {
    QList<Span> out;
    const QList<double> lv = levels(windowMs);
    for (qsizetype i = 0; i < lv.size(); ++i) {
        if (lv[i] < threshold)
            continue;
        const int at = int(i) * windowMs;
        if (!out.isEmpty() && at - out.last().endMs <= mergeMs)
            out.last().endMs = at + windowMs;
        else
            out.append({at, at + windowMs});
    }
    return out;
}

double MonitorRecorder::zeroCrossingsPerSecond(const Span& span) const {
    const qsizetype a = qsizetype(span.beginMs) * kRate / 1000;
    const qsizetype b = std::min<qsizetype>(qsizetype(span.endMs) * kRate / 1000, m_samples.size());
    int crossings = 0;
    for (qsizetype i = a + 1; i < b; ++i)
        if ((m_samples[i - 1] < 0) != (m_samples[i] < 0))
            ++crossings;
    return b > a ? crossings * double(kRate) / double(b - a) : 0;
}
