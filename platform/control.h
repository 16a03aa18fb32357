#pragma once
// The base of the window's control kinds: one Qt widget with the properties
// every control shares (Name, Visible, position in twips, TabIndex, font) and
// the road by which its notifications reach their handlers.

#include "platform/twips.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace vizmo::platform {

class ErrorReporter;

class Control {
public:
    // Takes the widget over: it goes when the control goes (unless its parent
    // took it first).
    Control(QWidget* widget, ErrorReporter& reporter);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    QWidget* widget() const { return widget_; }
    ErrorReporter& reporter() const { return reporter_; }

    QString name() const;
    void setName(const QString& name);

    // The control's own Visible property; a control on a hidden tab page keeps it.
    bool visible() const;
    void setVisible(bool visible);

    void setTwipsGeometry(int left, int top, int width, int height, const TwipsScale& scale);

    void setBold(bool bold);
    bool bold() const;

    // A name for assistive technology that the caption does not give, e.g. for
    // a "..." button; it then wins over the caption.
    void setAccessibleName(const QString& name);

    // The keyboard order within the window, lowest first (see applyTabOrder).
    int tabIndex() const { return tabIndex_; }
    void setTabIndex(int index) { tabIndex_ = index; }
    // Whether Tab can move the focus here (labels, frames and display fields cannot).
    bool takesTabFocus() const;

protected:
    // Runs a notification's handler through the event boundary; while a
    // component call waits, a copy of it runs once that call has returned.
    void raise(const std::function<void()>& handler) const;
    // The context object of the widget's signal connections: it goes before the
    // widget does, so nothing the widget emits while it dies reaches a handler.
    QObject* connections() const { return connections_.get(); }
    // The caption names the control for assistive technology, the name where it is empty.
    void setCaptionForAccessibility(const QString& caption);
    virtual void twipsScaleChanged(const TwipsScale&) {}

private:
    void updateAccessibleName();

    QPointer<QWidget> widget_;
    ErrorReporter& reporter_;
    std::unique_ptr<QObject> connections_;
    QString caption_;
    std::optional<QString> accessibleName_;
    int tabIndex_ = 0;
};

// Chains the focusable controls' widgets in the order of their TabIndex.
void applyTabOrder(std::vector<Control*> controls);

}  // namespace vizmo::platform
