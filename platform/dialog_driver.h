#pragma once
// What a common dialog asks of the desktop when it is shown: a seam, so tests
// answer from a script and the program shows real modal dialogs.

#include <QString>

#include <cstdint>
#include <optional>

class QWidget;

namespace vizmo::platform {

struct OpenFileRequest {
    QString initDir;
    QString filter;           // "description|pattern|..." or a bare pattern such as "*.qvm"
    int filterIndex = 0;      // 1-based; out of range selects the first entry
    QString fileName;         // the last chosen file, preselected
    std::int32_t flags = 0;
    QWidget* parent = nullptr;
};

struct ColorRequest {
    std::uint32_t color = 0;  // 0x00BBGGRR; shown first only with the "initial colour" flag
    std::int32_t flags = 0;   // 1 starts at `color`, 2 opens fully with custom colours
    QWidget* parent = nullptr;
};

class DialogDriver {
public:
    virtual ~DialogDriver() = default;
    // The chosen full path, or std::nullopt for Cancel.
    virtual std::optional<QString> openFile(const OpenFileRequest& request) = 0;
    // The chosen colour, or std::nullopt for Cancel.
    virtual std::optional<std::uint32_t> pickColor(const ColorRequest& request) = 0;
};

}  // namespace vizmo::platform
