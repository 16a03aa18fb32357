#include "platform/file_list_box.h"

#include "components/dispatch/error.h"
#include "platform/control_errors.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>
#include <filesystem>
#include <string>

namespace vizmo::platform {

namespace {

// The name as text, or nothing when its bytes are not UTF-8: the player takes
// a path as text, so such a file could be listed but never opened.
std::optional<QString> utf8Name(const std::string& bytes)
{
    QStringDecoder decode(QStringDecoder::Utf8);
    QString name = decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    if (decode.hasError())
        return std::nullopt;
    return name;
}

// The names of the plain files in the folder (links to plain files included,
// hidden files left out), by their bytes on disk.
QStringList plainFileNames(const QString& folder)
{
    namespace fs = std::filesystem;
    QStringList names;
    std::error_code error;
    for (fs::directory_iterator it(QFile::encodeName(folder).toStdString(), error), end; !error && it != end;
         it.increment(error)) {
        const std::string bytes = it->path().filename().native();
        std::error_code typeError;
        if (bytes.empty() || bytes.front() == '.' || !it->is_regular_file(typeError))
            continue;
        if (auto name = utf8Name(bytes))
            names.append(*name);
    }
    return names;
}

}  // namespace

std::optional<QStringList> matchingFileNames(const QString& folder, const QString& pattern)
{
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        return std::nullopt;

    std::vector<QRegularExpression> filters;
    for (const QString& part : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString trimmed = part.trimmed();
        // "*.*" means every file, also those without a dot in their name.
        const QString wildcard = trimmed == QLatin1String("*.*") ? QStringLiteral("*") : trimmed;
        filters.emplace_back(QRegularExpression::wildcardToRegularExpression(wildcard),
                             QRegularExpression::CaseInsensitiveOption);
    }

    QStringList names;
    for (const QString& name : plainFileNames(folder)) {
        const bool matches = std::any_of(filters.begin(), filters.end(),
                                         [&](const QRegularExpression& re) { return re.match(name).hasMatch(); });
        if (matches)
            names.append(name);
    }
    // Case-blind order, the same on every locale; names differing only in case keep a fixed order.
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int order = QString::compare(a, b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
    return names;
}

namespace {

// Once an entry is selected the user can move the selection, never empty it:
// Ctrl+click or Ctrl+Space on the selected entry would leave no file chosen.
class KeepOneSelectedList : public QListWidget {
public:
    using QListWidget::QListWidget;

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override
    {
        const QItemSelectionModel::SelectionFlags command = QListWidget::selectionCommand(index, event);
        if (command.testFlag(QItemSelectionModel::Deselect) || command.testFlag(QItemSelectionModel::Toggle))
            return QItemSelectionModel::NoUpdate;
        return command;
    }
};

}  // namespace

FileListBox::FileListBox(QWidget* parent, ErrorReporter& reporter) : Control(new KeepOneSelectedList(parent), reporter)
{
    listWidget()->setSelectionMode(QAbstractItemView::SingleSelection);
    listWidget()->setUniformItemSizes(true);
    listWidget()->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Selection, not the current item, is what the list reports: Qt moves the
    // current item to the first entry when the list gains the focus by Tab,
    // which is no selection.
    QObject::connect(listWidget(), &QListWidget::itemSelectionChanged, connections(),
                     [this] { selectionChanged(); });
}

QListWidget* FileListBox::listWidget() const { return static_cast<QListWidget*>(widget()); }

void FileListBox::setPath(const QString& path)
{
    const std::optional<QStringList> names = matchingFileNames(path, pattern_);
    if (!names)
        throwControlError(dispatch::err::PathNotFound, name(), "Path");
    path_ = path;
    fill(*names);
}

void FileListBox::setPattern(const QString& pattern)
{
    pattern_ = pattern;
    if (path_.isEmpty())
        return;
    // The folder may have gone since Path was set; the list then empties.
    fill(matchingFileNames(path_, pattern_).value_or(QStringList()));
}

void FileListBox::fill(const QStringList& names)
{
    filling_ = true;
    listWidget()->clear();
    listWidget()->addItems(names);
    listWidget()->setCurrentRow(-1);
    filling_ = false;
    names_ = names;
    selected_ = -1;
}

QString FileListBox::fileName() const { return selected_ >= 0 ? names_.at(selected_) : QString(); }

void FileListBox::setListIndex(int index)
{
    if (index < -1 || index >= listCount())
        throwInvalidPropertyValue(name(), "ListIndex");
    if (index == selected_)
        return;
    if (index < 0) {
        listWidget()->clearSelection();
        listWidget()->setCurrentRow(-1);
    } else {
        listWidget()->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    }
}

bool FileListBox::selected(int index) const { return index >= 0 && index == selected_; }

void FileListBox::setSelected(int index, bool selected)
{
    // Selected is an array property: an index beyond the entries is a bad index, not a bad value.
    if (index < 0 || index >= listCount())
        throwControlError(kInvalidArrayIndex, name(), "Selected");
    if (selected)
        setListIndex(index);
    else if (index == selected_)
        setListIndex(-1);
}

QString FileListBox::list(int index) const { return index >= 0 && index < listCount() ? names_.at(index) : QString(); }

void FileListBox::selectionChanged()
{
    if (filling_)
        return;
    const QList<QListWidgetItem*> items = listWidget()->selectedItems();
    const int now = items.isEmpty() ? -1 : listWidget()->row(items.first());
    if (now == selected_)
        return;
    selected_ = now;
    raise(clickHandler_);
}

}  // namespace vizmo::platform
