#pragma once
// Shows the desktop's modal file and colour dialogs.

#include "platform/dialog_driver.h"

#include <QStringList>

namespace vizmo::platform {

class QtDialogDriver : public DialogDriver {
public:
    std::optional<QString> openFile(const OpenFileRequest& request) override;
    std::optional<std::uint32_t> pickColor(const ColorRequest& request) override;
};

// "Models|*.qvm;*.qvz|All|*.*" as the file dialog's name filters
// ("Models (*.qvm *.qvz)", "All (*.*)"); a bare pattern stands for itself.
QStringList nameFiltersOf(const QString& filter);

}  // namespace vizmo::platform
