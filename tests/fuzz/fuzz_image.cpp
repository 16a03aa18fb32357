// Any bytes given as a background image: an image the check accepts decodes
// no larger than the size the check judged; a refusal carries a message.
#include "components/player/drawing/backdrop.h"
#include "fuzz_input_file.h"

#include <QCoreApplication>

#include <cstdint>
#include <cstdlib>

// Image format plugins are found through the application object.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vizmo::player;
    const QString path = vizmo::fuzz::writeInput(data, size, "f.img");
    const auto checked = checkBackImage(path);
    if (!checked.ok()) {
        if (checked.error().description.isEmpty())
            std::abort();
        return 0;
    }
    const auto image = decodeBackImage(path);
    if (image.ok() && (image.value().width() > checked.value().width() ||
                       image.value().height() > checked.value().height()))
        std::abort();
    return 0;
}
