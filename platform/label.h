#pragma once
// A caption on the window; it never takes the focus.

#include "platform/control.h"

class QLabel;

namespace vizmo::platform {

class Label : public Control {
public:
    Label(QWidget* parent, ErrorReporter& reporter);

    QString caption() const;
    void setCaption(const QString& caption);

private:
    QLabel* label() const;
};

}  // namespace vizmo::platform
