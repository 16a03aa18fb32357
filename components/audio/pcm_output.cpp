#include "components/audio/pcm_output.h"

#include <QAudioSink>
#include <QMediaDevices>

#include <algorithm>
#include <cmath>

namespace vizmo::audio {

namespace {
constexpr int kFeedIntervalMs = 10;
// How far the silent clock lets data run ahead of the clock, like a device buffer.
constexpr qint64 kSilentBufferUs = 40'000;
// A device that stops reporting progress is given this long past the end.
constexpr qint64 kDrainGraceUs = 1'000'000;
}  // namespace

PcmOutput::PcmOutput(QObject* parent) : QObject(parent)
{
    feedTimer_.setInterval(kFeedIntervalMs);
    feedTimer_.setTimerType(Qt::PreciseTimer);
    connect(&feedTimer_, &QTimer::timeout, this, &PcmOutput::feed);
}

PcmOutput::~PcmOutput() { closeDevice(); }

bool PcmOutput::start(const QAudioFormat& format)
{
    if (format.sampleFormat() != QAudioFormat::Int16 || format.channelCount() < 1 || format.sampleRate() <= 0)
        return false;
    stop();
    // A device left open and idle plays the new stream at once.
    const bool reuse = device_ && sink_ && sink_->format() == format && sink_->state() != QAudio::StoppedState &&
                       !silentForced_;
    if (reuse) {
        deviceBaseUs_ = bytesToUs(deviceBytes_);  // all of it was heard before drained()
        silent_ = false;
    } else {
        silent_ = !openDevice(format);
    }
    format_ = format;
    state_ = State::Playing;
    feedTimer_.start();
    return true;
}

void PcmOutput::prepare(const QAudioFormat& format)
{
    if (state_ != State::Idle || silentForced_ || format.sampleFormat() != QAudioFormat::Int16 ||
        format.sampleRate() <= 0)
        return;
    if (device_ && sink_ && sink_->format() == format && sink_->state() != QAudio::StoppedState)
        return;
    openDevice(format);
}

bool PcmOutput::openDevice(const QAudioFormat& format)
{
    if (sink_ && sink_->format() != format)
        closeDevice();
    if (silentForced_ || QMediaDevices::defaultAudioOutput().isNull())
        return false;
    if (!sink_)
        sink_ = std::make_unique<QAudioSink>(QMediaDevices::defaultAudioOutput(), format);
    device_ = sink_->start();
    deviceBytes_ = 0;
    deviceBaseUs_ = 0;
    // A failed open returns at once in StoppedState without any signal.
    if (!device_ || sink_->state() == QAudio::StoppedState) {
        closeDevice();
        return false;
    }
    return true;
}

void PcmOutput::write(std::span<const std::int16_t> samples)
{
    write(QByteArray(reinterpret_cast<const char*>(samples.data()), qsizetype(samples.size_bytes())));
}

void PcmOutput::write(const QByteArray& pcm)
{
    if (state_ == State::Idle || finishing_)
        return;
    if (pendingOffset_ > 0 && pendingOffset_ >= pending_.size() / 2) {
        pending_.remove(0, pendingOffset_);
        pendingOffset_ = 0;
    }
    pending_.append(pcm);
    queuedBytes_ += pcm.size();
    if (state_ == State::Playing)
        feed();  // the first audio goes out now, not on the next tick
}

void PcmOutput::finish()
{
    if (state_ == State::Idle)
        return;
    finishing_ = true;
    if (state_ == State::Playing)
        feed();
}

void PcmOutput::pause()
{
    if (state_ != State::Playing)
        return;
    state_ = State::Paused;
    finishDeadline_.invalidate();  // the grace for a stuck device starts again on resume
    if (silent_) {
        if (silentRunning_)
            silentBaseUs_ += silentClock_.nsecsElapsed() / 1000;
        silentRunning_ = false;
    } else if (sink_) {
        sink_->suspend();
    }
}

void PcmOutput::resume()
{
    if (state_ != State::Paused)
        return;
    state_ = State::Playing;
    if (!silent_ && sink_)
        sink_->resume();
    feed();
}

void PcmOutput::stop()
{
    feedTimer_.stop();
    const bool sounding = state_ != State::Idle;
    dropQueue();
    state_ = State::Idle;
    if (!sounding || !sink_ || !device_)
        return;  // an idle device holds nothing to silence: it stays open
    // Only closing the stream drops what the device still holds; it is opened
    // again at once so that the next stream does not wait for it.
    const QAudioFormat format = sink_->format();
    sink_->reset();
    sink_->stop();
    device_ = nullptr;
    if (!silentForced_)
        openDevice(format);
}

void PcmOutput::dropQueue()
{
    pending_.clear();
    pendingOffset_ = 0;
    handedBytes_ = 0;
    queuedBytes_ = 0;
    finishing_ = false;
    finishDeadline_.invalidate();
    silentRunning_ = false;
    silentBaseUs_ = 0;
}

qint64 PcmOutput::positionUs() const
{
    if (state_ == State::Idle)
        return 0;
    if (silent_)
        return silentPositionUs();
    const qint64 played = sink_ ? sink_->processedUSecs() - deviceBaseUs_ : 0;
    return std::clamp<qint64>(played, 0, bytesToUs(handedBytes_));
}

qint64 PcmOutput::queuedUs() const { return bytesToUs(queuedBytes_); }

void PcmOutput::setGain(double gain) { gain_ = std::clamp(gain, 0.0, 1.0); }

qint64 PcmOutput::bytesToUs(qint64 bytes) const
{
    const qint64 bytesPerSecond = qint64(format_.bytesPerFrame()) * format_.sampleRate();
    return bytesPerSecond > 0 ? bytes * 1'000'000 / bytesPerSecond : 0;
}

qint64 PcmOutput::silentPositionUs() const
{
    const qint64 running = silentRunning_ ? silentClock_.nsecsElapsed() / 1000 : 0;
    return std::min(silentBaseUs_ + running, bytesToUs(handedBytes_));
}

void PcmOutput::feed()
{
    if (state_ != State::Playing)
        return;
    const qsizetype available = pending_.size() - pendingOffset_;

    if (silent_) {
        const qint64 handedUs = bytesToUs(handedBytes_);
        if (silentRunning_ && silentBaseUs_ + silentClock_.nsecsElapsed() / 1000 > handedUs) {
            // Ran dry (synthesis slower than speech): the clock waits for data.
            silentBaseUs_ = handedUs;
            silentRunning_ = false;
        }
        // The clock runs while something is left to hear: samples queued, or
        // handed over and not yet heard, as after a pause in the last buffer.
        if (!silentRunning_ && (available > 0 || silentBaseUs_ < handedUs)) {
            silentClock_.start();
            silentRunning_ = true;
        }
        if (available > 0) {
            const qint64 targetUs = silentPositionUs() + kSilentBufferUs;
            const qint64 frame = format_.bytesPerFrame();
            qint64 wanted = qint64(double(targetUs - handedUs) * format_.sampleRate() / 1e6) * frame;
            wanted = std::clamp<qint64>(wanted, 0, available);
            if (wanted > 0)
                handOver(qsizetype(wanted));
        }
    } else if (sink_ && device_ && available > 0) {
        const qsizetype room = qsizetype(sink_->bytesFree()) / format_.bytesPerFrame() * format_.bytesPerFrame();
        const qsizetype bytes = std::min(room, available);
        if (bytes > 0)
            handOver(bytes);
    }

    if (finishing_ && pending_.size() - pendingOffset_ == 0) {
        const qint64 endUs = bytesToUs(handedBytes_);
        const qint64 position = positionUs();
        const bool deviceIdle = !silent_ && sink_ && sink_->state() == QAudio::IdleState && handedBytes_ > 0;
        const bool heard = position >= endUs || deviceIdle;
        if (!finishDeadline_.isValid())
            finishDeadline_.start();
        const bool stuck = finishDeadline_.nsecsElapsed() / 1000 > endUs - position + kDrainGraceUs;
        if (heard || stuck) {
            feedTimer_.stop();
            finishing_ = false;
            state_ = State::Idle;
            finishDeadline_.invalidate();
            emit drained();
        }
    }
}

void PcmOutput::handOver(qsizetype bytes)
{
    QByteArray piece = pending_.mid(pendingOffset_, bytes);
    pendingOffset_ += bytes;
    if (gain_ < 1.0) {
        auto* samples = reinterpret_cast<std::int16_t*>(piece.data());
        const qsizetype count = piece.size() / qsizetype(sizeof(std::int16_t));
        for (qsizetype i = 0; i < count; ++i)
            samples[i] = std::int16_t(std::lround(samples[i] * gain_));
    }
    const qint64 startUs = bytesToUs(handedBytes_);
    handedBytes_ += piece.size();
    if (!silent_ && device_) {
        // A stream that is new or ran dry plays nothing until its pre-buffer,
        // most of the device buffer, is full: a short text would wait for the
        // next one, and a streamed text for 200 ms of sound. Resuming the
        // stream starts it at once with whatever it holds.
        const bool waiting = sink_->state() != QAudio::ActiveState;
        device_->write(piece);
        deviceBytes_ += piece.size();
        if (waiting) {
            sink_->suspend();
            sink_->resume();
        }
    }
    emit pcmHandedOver(piece, startUs);
}

void PcmOutput::closeDevice()
{
    if (sink_) {
        sink_->stop();
        sink_.reset();
    }
    device_ = nullptr;
}

}  // namespace vizmo::audio
