#pragma once
// Reading a script's sound file through libsndfile: any PCM or float WAV,
// converted to interleaved 16-bit samples for the audio output.

#include "components/player/content/load_result.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace vizmo::player {

struct WavInfo {
    int sampleRate = 0;
    int channels = 0;
    qint64 frames = 0;
};

struct WavSound {
    WavInfo info;
    std::vector<std::int16_t> samples;  // interleaved
};

// Sounds longer than this are refused: scripts last at most ten minutes.
inline constexpr qint64 kMaxWavSeconds = 10 * 60;

// Reads only the header: quick enough for the UI thread.
LoadResult<WavInfo> inspectWav(const QString& path);
// Decodes the whole file; meant for a worker thread.
LoadResult<WavSound> readWav(const QString& path);

}  // namespace vizmo::player
