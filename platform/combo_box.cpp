#include "platform/combo_box.h"

#include "platform/control_errors.h"

#include <QComboBox>

namespace vizmo::platform {

ComboBox::ComboBox(QWidget* parent, ErrorReporter& reporter) : Control(new QComboBox(parent), reporter)
{
    combo()->setEditable(false);
    combo()->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    QObject::connect(combo(), &QComboBox::currentIndexChanged, connections(), [this] {
        if (quiet_)
            return;
        if (!byCode_)
            userChanged_ = true;
        raise(clickHandler_);
    });
    // Qt tells of a change before the choice that made it; a choice that
    // changed nothing has not been raised yet.
    QObject::connect(combo(), &QComboBox::activated, connections(), [this] {
        if (!userChanged_)
            raise(clickHandler_);
        userChanged_ = false;
    });
}

QComboBox* ComboBox::combo() const { return static_cast<QComboBox*>(widget()); }

template <typename Change>
void ComboBox::quietly(Change change)
{
    const bool wasQuiet = quiet_;
    quiet_ = true;
    change();
    quiet_ = wasQuiet;
}

int ComboBox::listIndex() const { return combo()->currentIndex(); }

void ComboBox::setListIndex(int index)
{
    if (index < -1 || index >= combo()->count())
        throwInvalidPropertyValue(name(), "ListIndex");
    const bool wasByCode = byCode_;
    byCode_ = true;
    combo()->setCurrentIndex(index);
    byCode_ = wasByCode;
}

void ComboBox::addItem(const QString& text)
{
    quietly([&] {
        const int selected = combo()->currentIndex();
        combo()->addItem(text);
        // QComboBox selects the first entry added to an empty list; this list does not.
        combo()->setCurrentIndex(selected);
    });
}

void ComboBox::clear()
{
    quietly([&] { combo()->clear(); });
}

int ComboBox::listCount() const { return combo()->count(); }

QString ComboBox::list(int index) const
{
    return combo()->itemText(index);
}

QString ComboBox::text() const { return combo()->currentIndex() >= 0 ? combo()->currentText() : QString(); }

}  // namespace vizmo::platform
