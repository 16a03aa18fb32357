// Any bytes given as a script's sound file are read whole or refused with a
// message; what is read never holds more samples than its header promised, and
// a file whose header is refused is never read.
#include "components/player/content/wav_file.h"
#include "fuzz_input_file.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vizmo::player;
    const QString path = vizmo::fuzz::writeInput(data, size, "f.wav");
    const auto header = inspectWav(path);
    const auto sound = readWav(path);
    if (sound.ok() && !header.ok())
        std::abort();
    if (sound.ok()) {
        const WavSound& s = sound.value();
        if (s.info.frames > header.value().frames ||
            s.samples.size() != std::size_t(s.info.frames) * std::size_t(s.info.channels))
            std::abort();
    } else if (sound.error().description.isEmpty()) {
        std::abort();
    }
    return 0;
}
