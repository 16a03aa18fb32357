#include "platform/check_box.h"

#include "platform/control_errors.h"

#include <QCheckBox>

namespace vizmo::platform {

CheckBox::CheckBox(QWidget* parent, ErrorReporter& reporter) : Control(new QCheckBox(parent), reporter)
{
    // toggled is the one signal that both a user's click and setChecked emit, once
    // per change; clicked would miss changes made by code.
    QObject::connect(box(), &QCheckBox::toggled, connections(), [this] { raise(clickHandler_); });
}

QCheckBox* CheckBox::box() const { return static_cast<QCheckBox*>(widget()); }

QString CheckBox::caption() const { return box()->text(); }

void CheckBox::setCaption(const QString& caption)
{
    box()->setText(caption);
    setCaptionForAccessibility(caption);
}

int CheckBox::value() const { return box()->isChecked() ? 1 : 0; }

void CheckBox::setValue(int value)
{
    if (value != 0 && value != 1)
        throwInvalidPropertyValue(name(), "Value");
    box()->setChecked(value == 1);
}

void CheckBox::click() { box()->click(); }

}  // namespace vizmo::platform
