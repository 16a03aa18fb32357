#pragma once
// Records what a PulseAudio sink plays, through its monitor, with parec:
// mono 16-bit at a rate of our choice, arriving in real time, so the number of
// samples received so far is a clock for marking stretches of the recording.

#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

#include <cmath>
#include <cstdint>
#include <vector>

namespace vizmo::speech::testing {

class MonitorRecorder {
public:
    static constexpr int kRate = 22050;

    ~MonitorRecorder()
    {
        process_.kill();
        process_.waitForFinished(2000);
    }

    // True once the first recorded samples have arrived.
    bool start(const QString& server, const QString& sink)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PULSE_SERVER"), server);
        process_.setProcessEnvironment(env);
        QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] { read(); });
        process_.start(QStringLiteral("parec"),
                       {QStringLiteral("-d"), sink + QStringLiteral(".monitor"), QStringLiteral("--raw"),
                        QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
                        QStringLiteral("--rate=%1").arg(kRate), QStringLiteral("--latency-msec=20")});
        return process_.waitForStarted(3000) && QTest::qWaitFor([this] { return !samples_.empty(); }, 3000);
    }

    // Samples recorded so far: a position to measure from or to.
    std::int64_t mark()
    {
        read();
        return std::int64_t(samples_.size());
    }

    // Root mean square of [from, to), 0 for an empty stretch.
    double rms(std::int64_t from, std::int64_t to) const
    {
        to = std::min<std::int64_t>(to, std::int64_t(samples_.size()));
        if (to <= from)
            return 0;
        double sum = 0;
        for (std::int64_t i = from; i < to; ++i)
            sum += double(samples_[std::size_t(i)]) * samples_[std::size_t(i)];
        return std::sqrt(sum / double(to - from));
    }

    // The stretch of [from, to) from the first to the last sample louder than
    // `threshold`, in milliseconds; 0 when none is.
    double audibleMs(std::int64_t from, std::int64_t to, int threshold) const
    {
        std::int64_t first = -1, last = -1;
        for (std::int64_t i = from; i < std::min<std::int64_t>(to, std::int64_t(samples_.size())); ++i) {
            if (std::abs(samples_[std::size_t(i)]) > threshold) {
                if (first < 0)
                    first = i;
                last = i;
            }
        }
        return first < 0 ? 0 : double(last - first) * 1000.0 / kRate;
    }

    // The longest stretch of [from, to) no louder than `threshold`, in milliseconds.
    double longestQuietMs(std::int64_t from, std::int64_t to, int threshold) const
    {
        std::int64_t longest = 0, run = 0;
        for (std::int64_t i = from; i < std::min<std::int64_t>(to, std::int64_t(samples_.size())); ++i) {
            run = std::abs(samples_[std::size_t(i)]) <= threshold ? run + 1 : 0;
            longest = std::max(longest, run);
        }
        return double(longest) * 1000.0 / kRate;
    }

    // Records for `ms` more milliseconds and returns the RMS of just that stretch.
    double rmsOfNext(int ms)
    {
        const std::int64_t from = mark();
        QTest::qWait(ms);
        return rms(from, mark());
    }

private:
    void read()
    {
        pending_.append(process_.readAllStandardOutput());
        const qsizetype whole = pending_.size() / 2 * 2;
        const auto* s = reinterpret_cast<const std::int16_t*>(pending_.constData());
        samples_.insert(samples_.end(), s, s + whole / 2);
        pending_.remove(0, whole);
    }

    QProcess process_;
    QByteArray pending_;
    std::vector<std::int16_t> samples_;
};

}  // namespace vizmo::speech::testing
