#pragma once
// A captioned group box. Controls placed in it (its widget() as their parent)
// are positioned in twips from the frame's top-left corner, caption included.

#include "platform/control.h"

class QGroupBox;

namespace vizmo::platform {

class Frame : public Control {
public:
    Frame(QWidget* parent, ErrorReporter& reporter);

    QString caption() const;
    void setCaption(const QString& caption);

private:
    QGroupBox* box() const;
};

}  // namespace vizmo::platform
