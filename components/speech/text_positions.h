#pragma once
// Engines count characters as code points; the component's Word event counts
// UTF-16 units of the text as given. This converts one into the other.

#include <QString>

#include <utility>
#include <vector>

namespace vizmo::speech {

class CodePointIndex {
public:
    explicit CodePointIndex(const QString& text);
    // (start, length) in code points -> (start, length) in UTF-16 units, clamped to the text.
    std::pair<int, int> toUtf16(int start, int length) const;

private:
    std::vector<int> utf16Offsets_;  // per code point, plus the end
};

}  // namespace vizmo::speech
