#pragma once
// A drop-down list that cannot be typed into. Click is raised on every new
// selection, by the user or by code, and whenever the user chooses an entry,
// even the one already selected; code setting the current entry again raises
// nothing. Filling and clearing the list select nothing and raise nothing.

#include "platform/control.h"

class QComboBox;

namespace vizmo::platform {

class ComboBox : public Control {
public:
    ComboBox(QWidget* parent, ErrorReporter& reporter);

    // 0-based; -1 when nothing is selected.
    int listIndex() const;
    // -1 clears the selection; beyond the list is error 380.
    void setListIndex(int index);

    void addItem(const QString& text);
    void clear();
    int listCount() const;
    // The entry's text; empty beyond the list.
    QString list(int index) const;
    QString text() const;

    void onClick(std::function<void()> handler) { clickHandler_ = std::move(handler); }

private:
    QComboBox* combo() const;
    // Runs a list change that must neither select nor notify.
    template <typename Change>
    void quietly(Change change);

    std::function<void()> clickHandler_;
    bool quiet_ = false;
    bool byCode_ = false;
    // The user's last choice changed the selection (and so raised Click already).
    bool userChanged_ = false;
};

}  // namespace vizmo::platform
