// Any bytes given as a model either load or are refused with error 321 and a
// message naming the file; nothing else may happen.
#include "components/dispatch/error.h"
#include "components/player/content/face_model.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto model = vizmo::player::parseFaceModel(bytes, QStringLiteral("f.qvm"));
    if (!model.ok() && (model.error().number != vizmo::dispatch::err::InvalidFileFormat ||
                        !model.error().description.startsWith(QStringLiteral("f.qvm: "))))
        std::abort();
    return 0;
}
