#pragma once
// A list of the files in one folder whose names match a pattern ("*.QVM";
// several patterns separated by ";"), letter case ignored, sorted by name.
// Click is raised on every new selection, by the user or by code. The user
// can move the selection but not clear it; code can (ListIndex -1).

#include "platform/control.h"

#include <QStringList>

#include <optional>

class QListWidget;

namespace vizmo::platform {

class FileListBox : public Control {
public:
    FileListBox(QWidget* parent, ErrorReporter& reporter);

    QString path() const { return path_; }
    // Lists the folder afresh with nothing selected; a missing folder is error 76
    // and leaves the list as it was.
    void setPath(const QString& path);

    QString pattern() const { return pattern_; }
    void setPattern(const QString& pattern);

    // The selected entry's name (no folder), empty when none is selected.
    QString fileName() const;

    int listIndex() const { return selected_; }
    // -1 clears the selection; beyond the list is error 380.
    void setListIndex(int index);
    bool selected(int index) const;
    // An index beyond the entries is error 381; selecting raises Click as setListIndex does.
    void setSelected(int index, bool selected);

    int listCount() const { return int(names_.size()); }
    // The entry's name; empty beyond the list.
    QString list(int index) const;

    void onClick(std::function<void()> handler) { clickHandler_ = std::move(handler); }

private:
    QListWidget* listWidget() const;
    void fill(const QStringList& names);
    void selectionChanged();

    QString path_;
    QString pattern_ = QStringLiteral("*.*");
    QStringList names_;
    int selected_ = -1;
    bool filling_ = false;
    std::function<void()> clickHandler_;
};

// The names of the plain files in `folder` matching `pattern`, case ignored,
// sorted by name; a name that is not UTF-8 is left out. For a folder that
// does not exist: std::nullopt.
std::optional<QStringList> matchingFileNames(const QString& folder, const QString& pattern);

}  // namespace vizmo::platform
