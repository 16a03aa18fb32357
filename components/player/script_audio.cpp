#include "components/player/script_audio.h"

#include "components/audio/pcm_output.h"

#include <algorithm>
#include <span>

namespace vizmo::player {

namespace {
// The sound goes to the output a few seconds ahead of what is heard rather
// than whole: copying minutes of samples at once held the window for tens of
// milliseconds when a long script started.
constexpr qint64 kAheadMs = 4000;
constexpr int kTopUpEveryMs = 250;
}  // namespace

ScriptAudio::ScriptAudio(std::shared_ptr<const WavSound> sound) : sound_(std::move(sound))
{
    topUpTimer_.setInterval(kTopUpEveryMs);
    QObject::connect(&topUpTimer_, &QTimer::timeout, &topUpTimer_, [this] { topUp(); });
}

ScriptAudio::~ScriptAudio() = default;

void ScriptAudio::play(double positionMs)
{
    if (!output_)
        output_ = std::make_unique<audio::PcmOutput>();
    QAudioFormat format;
    format.setSampleRate(sound_->info.sampleRate);
    format.setChannelCount(sound_->info.channels);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!output_->start(format))
        return;
    nextFrame_ = std::clamp<qint64>(qint64(positionMs * sound_->info.sampleRate / 1000.0), 0, sound_->info.frames);
    offsetMs_ = double(nextFrame_) * 1000.0 / sound_->info.sampleRate;
    playing_ = true;
    topUp();
    topUpTimer_.start();
}

void ScriptAudio::topUp()
{
    const qint64 frames = sound_->info.frames;
    if (!playing_ || nextFrame_ >= frames) {
        topUpTimer_.stop();
        return;
    }
    const qint64 aheadUs = output_->queuedUs() - output_->positionUs();
    if (aheadUs > kAheadMs * 1000 / 2)
        return;
    const qint64 count = std::min<qint64>(frames - nextFrame_, kAheadMs * sound_->info.sampleRate / 1000);
    const auto channels = std::size_t(sound_->info.channels);
    output_->write(std::span<const std::int16_t>(sound_->samples).subspan(std::size_t(nextFrame_) * channels, std::size_t(count) * channels));
    nextFrame_ += count;
    if (nextFrame_ >= frames)
        output_->finish();
}

void ScriptAudio::pause()
{
    if (output_ && playing_)
        output_->pause();
}

void ScriptAudio::resume(double positionMs)
{
    if (output_ && playing_)
        output_->resume();
    else
        play(positionMs);
}

void ScriptAudio::stop()
{
    if (output_)
        output_->stop();
    playing_ = false;
    topUpTimer_.stop();
}

std::optional<double> ScriptAudio::positionMs() const
{
    if (!output_ || !playing_ || output_->state() != audio::PcmOutput::State::Playing)
        return std::nullopt;
    const double heard = offsetMs_ + double(output_->positionUs()) / 1000.0;
    // Past the sound's end the timeline runs on by itself.
    const double end = double(sound_->info.frames) * 1000.0 / sound_->info.sampleRate;
    if (heard >= end - 1)
        return std::nullopt;
    return heard;
}

}  // namespace vizmo::player
