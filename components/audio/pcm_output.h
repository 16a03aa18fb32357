#pragma once
// Plays 16-bit PCM pushed to it in pieces, and tells how much has been heard.
//
// Samples are queued with write() and fed to a push-mode QAudioSink from a
// 10 ms timer, never more than the sink has room for. Opening a stream costs
// the first sound tens of milliseconds, so the device is kept open and idle
// between streams: after one drains, after prepare(), and after a Stop, which
// must close it to silence what it holds and so opens it again at once.
// A stream that is new or ran dry is started as soon as it holds anything,
// not once its buffer is nearly full. positionUs() is the
// played-position clock that lip sync and text highlighting follow. When no
// audio device can be opened, the same queue is consumed at real-time speed
// by a silent clock, so timing, events and mouth movement stay the same.
//
// Lives on the thread that created it (the UI thread); every call is cheap.

#include <QAudioFormat>
#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <span>

class QAudioSink;
class QIODevice;

namespace vizmo::audio {

class PcmOutput : public QObject {
    Q_OBJECT
public:
    enum class State { Idle, Playing, Paused };

    explicit PcmOutput(QObject* parent = nullptr);
    ~PcmOutput() override;

    // Opens the output for a new stream of 16-bit samples and resets the
    // clock to 0. Anything still queued from an earlier stream is dropped.
    // Returns false only for a format this class cannot play (not Int16).
    bool start(const QAudioFormat& format);
    // While idle, opens the device for `format` ahead of the next start(), so
    // that start() finds it ready; does nothing if it is open in that format.
    void prepare(const QAudioFormat& format);
    // Queues samples (interleaved when there is more than one channel).
    void write(std::span<const std::int16_t> samples);
    void write(const QByteArray& pcm);
    // No more samples will come: drained() follows once everything is heard.
    void finish();
    void pause();
    void resume();
    // Ends at once: drops what is queued, silences the device, no drained().
    void stop();

    // Microseconds of the current stream heard so far; frozen while paused.
    qint64 positionUs() const;
    // Microseconds of the current stream queued so far (heard or not).
    qint64 queuedUs() const;
    State state() const { return state_; }
    bool isSilent() const { return silent_; }  // true when no device could be opened
    const QAudioFormat& format() const { return format_; }

    // Linear gain 0..1 applied as samples leave the queue, so a change is heard
    // within one device buffer rather than after everything already queued.
    void setGain(double gain);
    double gain() const { return gain_; }

    // Forces the silent clock even when a device exists (tests, benchmarks).
    void setSilentForced(bool forced) { silentForced_ = forced; }

signals:
    // Every piece handed to the device (after the gain), with the stream
    // position in microseconds at which it starts.
    void pcmHandedOver(const QByteArray& pcm, qint64 startUs);
    // Everything queued before finish() has been heard.
    void drained();

private:
    void feed();
    void handOver(qsizetype bytes);
    qint64 bytesToUs(qint64 bytes) const;
    qint64 silentPositionUs() const;
    void closeDevice();
    bool openDevice(const QAudioFormat& format);
    void dropQueue();

    QAudioFormat format_;
    std::unique_ptr<QAudioSink> sink_;
    QIODevice* device_ = nullptr;  // open, idle between streams that drain
    qint64 deviceBytes_ = 0;       // written to the device since it was opened
    qint64 deviceBaseUs_ = 0;      // the device's played time when this stream began
    QTimer feedTimer_;
    QByteArray pending_;
    qsizetype pendingOffset_ = 0;
    qint64 handedBytes_ = 0;
    qint64 queuedBytes_ = 0;
    State state_ = State::Idle;
    bool finishing_ = false;
    bool silent_ = false;
    bool silentForced_ = false;
    double gain_ = 1.0;

    // Silent clock: real time elapsed while playing, minus pauses.
    QElapsedTimer silentClock_;
    qint64 silentBaseUs_ = 0;  // time accumulated before the last pause
    bool silentRunning_ = false;
    QElapsedTimer finishDeadline_;  // started when the last sample was handed over
};

}  // namespace vizmo::audio
