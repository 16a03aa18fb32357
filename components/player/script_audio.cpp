#include "components/player/script_audio.h"

#include "components/audio/pcm_output.h"

#include <algorithm>
#include <span>

namespace vizmo::player {

ScriptAudio::ScriptAudio(std::shared_ptr<const WavSound> sound) : sound_(std::move(sound)) {}

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
    const auto firstFrame = qint64(positionMs * sound_->info.sampleRate / 1000.0);
    const auto first = std::size_t(std::clamp<qint64>(firstFrame, 0, sound_->info.frames) * sound_->info.channels);
    output_->write(std::span<const std::int16_t>(sound_->samples).subspan(first));
    output_->finish();
    offsetMs_ = double(first / std::size_t(sound_->info.channels)) * 1000.0 / sound_->info.sampleRate;
    playing_ = true;
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
