#include "components/speech/text_positions.h"

#include <algorithm>

namespace vizmo::speech {

CodePointIndex::CodePointIndex(const QString& text)
{
    utf16Offsets_.reserve(std::size_t(text.size()) + 1);
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i).isLowSurrogate() && i > 0 && text.at(i - 1).isHighSurrogate())
            continue;
        utf16Offsets_.push_back(i);
    }
    utf16Offsets_.push_back(int(text.size()));
}

std::pair<int, int> CodePointIndex::toUtf16(int start, int length) const
{
    const int last = int(utf16Offsets_.size()) - 1;
    const int from = std::clamp(start, 0, last);
    const int to = std::clamp(start + std::max(length, 0), from, last);
    return {utf16Offsets_[std::size_t(from)], utf16Offsets_[std::size_t(to)] - utf16Offsets_[std::size_t(from)]};
}

}  // namespace vizmo::speech
