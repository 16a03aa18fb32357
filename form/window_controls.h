#pragma once
// The window's controls by the names the handlers use. Form1 builds them from
// the layout table; the handler groups reach them only through here.

#include "platform/check_box.h"
#include "platform/combo_box.h"
#include "platform/command_button.h"
#include "platform/component_site.h"
#include "platform/display_field.h"
#include "platform/file_list_box.h"
#include "platform/frame.h"
#include "platform/label.h"
#include "platform/progress_bar.h"
#include "platform/slider.h"
#include "platform/tab_control.h"
#include "platform/text_box.h"
#include "platform/timer.h"

#include <QHash>
#include <QString>

namespace vizmo::platform {
class CommonDialog;
}

namespace vizmo::form {

// Every control of the layout table, found by name.
class ControlRegistry {
public:
    void add(platform::Control* control) { byName_.insert(control->name(), control); }
    platform::Control* find(const QString& name) const { return byName_.value(name); }
    // The control of that name and kind; a missing one is a fault of the table.
    template <typename T>
    T* get(const QString& name) const;
    const QHash<QString, platform::Control*>& all() const { return byName_; }

private:
    QHash<QString, platform::Control*> byName_;
};

struct WindowControls {
    explicit WindowControls(const ControlRegistry& registry);

    platform::ComponentSite* const Vizmo41;
    platform::ComponentSite* const KVTTSComponent1;
    platform::ProgressBar* const ProgressBar1;
    platform::TabControl* const SSTab1;

    // "Demo"
    platform::CheckBox* const Check1;
    platform::CheckBox* const Check2;
    platform::FileListBox* const File1;
    platform::FileListBox* const File2;

    // "QV4 Player"
    platform::CheckBox* const Check3;
    platform::DisplayField* const Text1;
    platform::DisplayField* const Text5;
    platform::CommandButton *const Command1, *const Command2, *const Command3, *const Command4, *const Command5,
        *const Command6, *const Command7, *const Command8, *const Command9, *const Command10, *const Command11,
        *const Command12, *const Command13, *const Command14, *const Command15, *const Command16, *const Command17,
        *const Command18, *const Command19, *const Command20, *const Command21, *const Command22, *const Command23,
        *const Command24, *const Command25, *const Command26;
    platform::Slider *const Slider1, *const Slider2, *const Slider6, *const Slider7, *const Slider8, *const Slider9,
        *const Slider10, *const Slider11, *const Slider12;

    // "KV TTS"
    platform::ComboBox* const Combo1;
    platform::ComboBox* const Combo2;
    platform::TextBox* const Text2;
    platform::DisplayField* const Text3;
    platform::DisplayField* const Text4;
    platform::CommandButton *const Command27, *const Command28, *const Command29, *const Command30, *const Command31;
    platform::Slider *const Slider3, *const Slider4, *const Slider5;

    // On the window.
    platform::CommandButton* const Command32;

    // Not on the layout table: they have no place on the window.
    platform::Timer* Timer1 = nullptr;
    platform::CommonDialog* CommonDialog1 = nullptr;  // model file
    platform::CommonDialog* CommonDialog2 = nullptr;  // script file
    platform::CommonDialog* CommonDialog3 = nullptr;  // player back colour
    platform::CommonDialog* CommonDialog4 = nullptr;  // background image
    platform::CommonDialog* CommonDialog5 = nullptr;  // speech back colour
    platform::CommonDialog* CommonDialog6 = nullptr;  // speech fore colour
};

template <typename T>
T* ControlRegistry::get(const QString& name) const
{
    auto* control = dynamic_cast<T*>(find(name));
    Q_ASSERT_X(control, "ControlRegistry::get", qPrintable(name));
    return control;
}

}  // namespace vizmo::form
