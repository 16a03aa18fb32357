// Any bytes given as a script either load, with a length inside the ten-minute
// limit and every key inside the length, or are refused with a message.
#include "components/dispatch/error.h"
#include "components/player/content/script.h"

#include <QDir>

#include <cstdint>
#include <cstdlib>

namespace {
template <typename Track>
bool insideLength(const Track& keys, int length)
{
    for (const auto& key : keys)
        if (key.timeMs < 0 || key.timeMs > length)
            return false;
    return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vizmo::player;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto script = parseScript(bytes, QStringLiteral("f.qvs"), QDir::tempPath());
    if (!script.ok()) {
        if (script.error().description.isEmpty())
            std::abort();
        return 0;
    }
    const Script& s = script.value();
    bool inside = s.lengthMs > 0 && s.lengthMs <= 600000 && insideLength(s.head, s.lengthMs) &&
                  insideLength(s.eyes, s.lengthMs) && insideLength(s.shoulders, s.lengthMs) &&
                  insideLength(s.visemes, s.lengthMs);
    for (const auto& track : s.expressions)
        inside = inside && insideLength(track, s.lengthMs);
    if (!inside)
        std::abort();
    return 0;
}
