#pragma once
// A recorded voice, read for analysis: any sound file the player can play
// (mono or stereo, 8 to 96 kHz), mixed to mono and resampled to one rate.
// Silence at either end is kept: it is part of the timing.

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace vizmo::speech {

struct Recording {
    std::vector<float> samples;  // mono, -1..1, at `rate`
    int rate = 0;
    int sourceRate = 0;          // the file's own rate and channels
    int sourceChannels = 0;
    std::int64_t sourceFrames = 0;
};

// The file at `path` at `rate` Hz, or nothing with `error` set to a message
// that names the file.
std::optional<Recording> readRecording(const QString& path, int rate, QString* error);

// Mono samples from one rate to another (band-limited, libsamplerate).
std::vector<float> resample(const std::vector<float>& samples, int fromRate, int toRate);

}  // namespace vizmo::speech
