#include "platform/qt_dialog_driver.h"

#include "platform/common_dialog.h"
#include "platform/ole_color.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>

namespace vizmo::platform {

QStringList nameFiltersOf(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    if (filter.isEmpty())
        return {};
    if (parts.size() == 1)
        return {QString(filter).replace(QLatin1Char(';'), QLatin1Char(' '))};
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')).trimmed();
        filters.append(parts[i].trimmed() + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return filters;
}

std::optional<QString> QtDialogDriver::openFile(const OpenFileRequest& request)
{
    QFileDialog dialog(request.parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // A typed name of a file that does not exist is returned unless the flags forbid it.
    dialog.setFileMode((request.flags & dialog_flag::FileMustExist) ? QFileDialog::ExistingFile
                                                                   : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    const QStringList filters = nameFiltersOf(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index = request.filterIndex >= 1 && request.filterIndex <= filters.size() ? request.filterIndex - 1 : 0;
        dialog.selectNameFilter(filters[index]);
    }
    if (!request.initDir.isEmpty())
        dialog.setDirectory(request.initDir);
    if (!request.fileName.isEmpty()) {
        // A previous choice elsewhere reopens there, as the desktop's own dialog does.
        const QFileInfo previous(request.fileName);
        if (previous.isAbsolute() && previous.dir().exists())
            dialog.setDirectory(previous.absolutePath());
        dialog.selectFile(previous.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

std::optional<std::uint32_t> QtDialogDriver::pickColor(const ColorRequest& request)
{
    const QColor initial = (request.flags & dialog_flag::ColorInitial) ? toQColor(request.color) : QColor(Qt::white);
    QColorDialog dialog(initial, request.parent);
    // The Qt dialog always shows its custom colours, as the full-open flag asks.
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return fromQColor(dialog.selectedColor());
}

}  // namespace vizmo::platform
