#pragma once
// A check box whose Click is raised whenever its Value changes, by the user or
// by code, and never when a value is set to what it already is.

#include "platform/control.h"

class QCheckBox;

namespace vizmo::platform {

class CheckBox : public Control {
public:
    CheckBox(QWidget* parent, ErrorReporter& reporter);

    QString caption() const;
    void setCaption(const QString& caption);

    // 0 clear, 1 ticked; anything else is error 380.
    int value() const;
    void setValue(int value);

    void onClick(std::function<void()> handler) { clickHandler_ = std::move(handler); }
    // The road of a user's click.
    void click();

private:
    QCheckBox* box() const;
    std::function<void()> clickHandler_;
};

}  // namespace vizmo::platform
