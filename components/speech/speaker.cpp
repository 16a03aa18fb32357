#include "components/speech/speaker.h"

#include "components/speech/speech_channel.h"

#include <algorithm>

#include <QCoreApplication>
#include <QPointer>

namespace vizmo::speech {

namespace {
constexpr int kTickMs = 5;            // how often words and mouth shapes are checked
constexpr int kAheadSeconds = 8;      // how far synthesis may run ahead of the listener
}  // namespace

Speaker::Speaker(QObject* parent) : QObject(parent)
{
    ticker_.setInterval(kTickMs);
    ticker_.setTimerType(Qt::PreciseTimer);
    connect(&ticker_, &QTimer::timeout, this, &Speaker::tick);
    connect(&output_, &audio::PcmOutput::drained, this, &Speaker::onDrained);
}

Speaker::~Speaker()
{
    if (channel_)
        channel_->cancel();
}

void Speaker::speak(EngineKind engine, const QString& text, const SpeechSettings& settings)
{
    stop();
    EngineThread& thread = EngineThread::of(engine);
    const QAudioFormat format = formatFor(thread.info(), settings.voiceIndex);
    sampleRate_ = format.sampleRate();

    const std::uint64_t generation = ++generation_;
    lipSync_.emplace(sampleRate_, phoneTimingOf(engine));
    receivedSamples_ = 0;
    words_.clear();
    channel_ = std::make_shared<SpeechChannel>(
        this, [this, generation](SpeechChunk&& chunk) { receive(generation, std::move(chunk)); },
        [this, generation] { synthesisDone(generation); }, std::int64_t(kAheadSeconds) * sampleRate_);
    // Synthesis starts first: opening the sound device takes a few milliseconds
    // on this thread, and the engine's first chunk arrives only after we return.
    thread.post([channel = channel_, text, settings](SpeechEngine& e) {
        if (!channel->cancelled())
            e.synthesize(text, settings, *channel);
        channel->done();
    });

    output_.start(format);
    state_ = State::Speaking;
    ticker_.start();
}

QAudioFormat Speaker::formatFor(const EngineInfo& info, int voiceIndex)
{
    QAudioFormat format;
    format.setSampleRate(voiceIndex >= 0 && voiceIndex < info.sampleRates.size() ? info.sampleRates[voiceIndex] : 22050);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

void Speaker::prepare(EngineKind engine, int voiceIndex)
{
    // The engine's thread answers once the engine has started; the device is
    // then opened back on this thread, never waiting here for the engine.
    QPointer<Speaker> self(this);
    EngineThread::of(engine).post([self, engine, voiceIndex](SpeechEngine&) {
        QMetaObject::invokeMethod(qApp, [self, engine, voiceIndex] {
            if (self && self->state_ == State::Idle)
                self->output_.prepare(formatFor(EngineThread::of(engine).info(), voiceIndex));
        }, Qt::QueuedConnection);
    });
}

void Speaker::pause()
{
    if (state_ != State::Speaking)
        return;
    output_.pause();
    ticker_.stop();
    state_ = State::Paused;
}

void Speaker::resume()
{
    if (state_ != State::Paused)
        return;
    state_ = State::Speaking;
    output_.resume();
    ticker_.start();
}

void Speaker::stop()
{
    ++generation_;  // chunks already posted for the old text are dropped on arrival
    if (channel_) {
        channel_->cancel();
        channel_.reset();
    }
    output_.stop();
    ticker_.stop();
    lipSync_.reset();
    words_.clear();
    state_ = State::Idle;
}

void Speaker::setVolume(int volume) { output_.setGain(std::clamp(volume, 0, 100) / 100.0); }

std::int64_t Speaker::playedSamples() const { return output_.positionUs() * sampleRate_ / 1'000'000; }

void Speaker::receive(std::uint64_t generation, SpeechChunk&& chunk)
{
    if (generation != generation_ || state_ == State::Idle)
        return;
    lipSync_->addSound(chunk.samples);
    lipSync_->addPhones(chunk.phones);
    words_.insert(words_.end(), chunk.words.begin(), chunk.words.end());
    if (!chunk.samples.empty()) {
        receivedSamples_ += std::int64_t(chunk.samples.size());
        output_.write(chunk.samples);
    }
}

void Speaker::synthesisDone(std::uint64_t generation)
{
    if (generation != generation_ || state_ == State::Idle)
        return;
    lipSync_->finish(receivedSamples_);
    output_.finish();
}

void Speaker::tick()
{
    if (state_ != State::Speaking)
        return;
    const std::int64_t played = playedSamples();
    if (channel_)
        channel_->setPlayed(played);
    while (!words_.empty() && words_.front().startSample <= played) {
        const WordMark word = words_.front();
        words_.pop_front();
        const std::int64_t next = words_.empty() ? word.startSample + sampleRate_ : words_.front().startSample;
        emit wordReached(word.start, word.length, lipSync_ ? lipSync_->stressBetween(word.startSample, next) : 0);
        if (state_ != State::Speaking)
            return;  // a handler stopped or paused us
    }
    if (lipSync_) {
        for (const VisemeCue& cue : lipSync_->takeDue(played)) {
            emit visemeDue(cue);
            if (state_ != State::Speaking)
                return;
        }
    }
}

void Speaker::onDrained()
{
    if (state_ != State::Speaking)
        return;
    tick();  // the last words and shapes, then the mouth at rest
    if (state_ != State::Speaking)
        return;
    if (lipSync_) {
        for (const VisemeCue& cue : lipSync_->takeAll())
            emit visemeDue(cue);
    }
    channel_.reset();
    ticker_.stop();
    lipSync_.reset();
    words_.clear();
    state_ = State::Idle;
    emit finished();
}

}  // namespace vizmo::speech
