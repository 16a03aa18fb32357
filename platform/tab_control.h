#pragma once
// A tab control whose pages share its whole area: controls on a page are
// positioned in twips from the tab control's top-left corner, with the tab
// strip (300 twips high) inside that area. Only the current page's controls
// show. Click is raised after the current tab has changed, by the user or by
// code, with the tab that was current before.

#include "platform/control.h"

#include <vector>

namespace vizmo::platform {

class TabPanel;

class TabControl : public Control {
public:
    static constexpr int kStripHeightTwips = 300;

    TabControl(QWidget* parent, ErrorReporter& reporter);

    // Appends a tab; its page is the parent for the controls shown on it. Adding
    // tabs raises nothing, and the first one becomes the current tab.
    QWidget* addTab(const QString& caption);
    QWidget* page(int index) const;
    int tabCount() const;

    int tab() const;
    // Beyond the tabs is error 380; the current tab again raises nothing.
    void setTab(int index);

    // The caption of the current tab.
    QString caption() const;
    QString tabCaption(int index) const;

    void onClick(std::function<void(int previousTab)> handler) { clickHandler_ = std::move(handler); }
    // The road of a user's click on a tab.
    void clickTab(int index);

protected:
    void twipsScaleChanged(const TwipsScale& scale) override;

private:
    TabPanel* panel() const;
    void currentChanged(int index);

    int current_ = -1;
    bool adding_ = false;
    std::function<void(int)> clickHandler_;
};

}  // namespace vizmo::platform
