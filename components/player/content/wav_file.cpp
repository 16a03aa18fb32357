#include "components/player/content/wav_file.h"

#include "components/dispatch/error.h"
#include "components/player/content/missing_file.h"

#include <QFile>

#include <sndfile.h>

#include <algorithm>
#include <memory>

namespace vizmo::player {

namespace {

struct SndFileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndFile = std::unique_ptr<SNDFILE, SndFileCloser>;

LoadResult<WavInfo> open(const QString& path, SndFile& handle)
{
    if (!QFile::exists(path))
        return LoadError{dispatch::err::FileNotFound, fileNotFoundMessage(path)};
    SF_INFO info{};
    handle.reset(sf_open(QFile::encodeName(path).constData(), SFM_READ, &info));
    if (!handle)
        return LoadError{dispatch::err::InvalidFileFormat,
                         QStringLiteral("%1: not a sound file this program can play (%2)")
                             .arg(path, QString::fromLocal8Bit(sf_strerror(nullptr)))};
    if (info.channels < 1 || info.channels > 2 || info.samplerate < 8000 || info.samplerate > 96000)
        return LoadError{dispatch::err::InvalidFileFormat,
                         QStringLiteral("%1: %2 channels at %3 Hz; mono or stereo at 8000 to 96000 Hz is supported")
                             .arg(path)
                             .arg(info.channels)
                             .arg(info.samplerate)};
    if (info.frames > kMaxWavSeconds * info.samplerate)
        return LoadError{dispatch::err::InvalidFileFormat,
                         QStringLiteral("%1: the sound is longer than %2 seconds").arg(path).arg(kMaxWavSeconds)};
    return WavInfo{info.samplerate, info.channels, info.frames};
}

}  // namespace

LoadResult<WavInfo> inspectWav(const QString& path)
{
    SndFile handle;
    return open(path, handle);
}

LoadResult<WavSound> readWav(const QString& path)
{
    SndFile handle;
    auto info = open(path, handle);
    if (!info.ok())
        return info.error();
    WavSound sound;
    sound.info = info.value();
    // Read in blocks rather than trusting the header's frame count: a short
    // or damaged file claiming ten minutes would otherwise reserve hundreds
    // of megabytes it never fills.
    constexpr sf_count_t kBlockFrames = 1 << 16;
    const auto channels = std::size_t(sound.info.channels);
    sf_count_t total = 0;
    while (total < sound.info.frames) {
        const sf_count_t want = std::min<sf_count_t>(kBlockFrames, sound.info.frames - total);
        sound.samples.resize(std::size_t(total + want) * channels);
        const sf_count_t read = sf_readf_short(handle.get(), sound.samples.data() + std::size_t(total) * channels, want);
        total += std::max<sf_count_t>(read, 0);
        if (read < want)
            break;
    }
    // The reader already shortens a plain WAV cut short to what it holds; a
    // compressed stream that stops well before the length it declared is
    // damaged, and playing it would end the sound early without a word.
    const sf_count_t slack = sound.info.sampleRate / 20;
    if (total + slack < sound.info.frames) {
        const int error = sf_error(handle.get());
        return LoadError{dispatch::err::InvalidFileFormat,
                         QStringLiteral("%1: the sound cannot be decoded after %2 of its %3 seconds (%4)")
                             .arg(path)
                             .arg(double(total) / sound.info.sampleRate, 0, 'f', 2)
                             .arg(double(sound.info.frames) / sound.info.sampleRate, 0, 'f', 2)
                             .arg(error ? QString::fromLocal8Bit(sf_error_number(error))
                                        : QStringLiteral("the file is damaged or cut short"))};
    }
    sound.samples.resize(std::size_t(total) * channels);
    sound.info.frames = total;
    return sound;
}

}  // namespace vizmo::player
