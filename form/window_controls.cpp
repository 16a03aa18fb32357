#include "form/window_controls.h"

namespace vizmo::form {

// Each member is bound to the control of the same name.
#define VIZMO_BIND(Type, Name) Name(registry.get<platform::Type>(QStringLiteral(#Name)))

WindowControls::WindowControls(const ControlRegistry& registry)
    : VIZMO_BIND(ComponentSite, Vizmo41),
      VIZMO_BIND(ComponentSite, KVTTSComponent1),
      VIZMO_BIND(ProgressBar, ProgressBar1),
      VIZMO_BIND(TabControl, SSTab1),
      VIZMO_BIND(CheckBox, Check1),
      VIZMO_BIND(CheckBox, Check2),
      VIZMO_BIND(FileListBox, File1),
      VIZMO_BIND(FileListBox, File2),
      VIZMO_BIND(CheckBox, Check3),
      VIZMO_BIND(DisplayField, Text1),
      VIZMO_BIND(DisplayField, Text5),
      VIZMO_BIND(CommandButton, Command1), VIZMO_BIND(CommandButton, Command2), VIZMO_BIND(CommandButton, Command3),
      VIZMO_BIND(CommandButton, Command4), VIZMO_BIND(CommandButton, Command5), VIZMO_BIND(CommandButton, Command6),
      VIZMO_BIND(CommandButton, Command7), VIZMO_BIND(CommandButton, Command8), VIZMO_BIND(CommandButton, Command9),
      VIZMO_BIND(CommandButton, Command10), VIZMO_BIND(CommandButton, Command11), VIZMO_BIND(CommandButton, Command12),
      VIZMO_BIND(CommandButton, Command13), VIZMO_BIND(CommandButton, Command14), VIZMO_BIND(CommandButton, Command15),
      VIZMO_BIND(CommandButton, Command16), VIZMO_BIND(CommandButton, Command17), VIZMO_BIND(CommandButton, Command18),
      VIZMO_BIND(CommandButton, Command19), VIZMO_BIND(CommandButton, Command20), VIZMO_BIND(CommandButton, Command21),
      VIZMO_BIND(CommandButton, Command22), VIZMO_BIND(CommandButton, Command23), VIZMO_BIND(CommandButton, Command24),
      VIZMO_BIND(CommandButton, Command25), VIZMO_BIND(CommandButton, Command26),
      VIZMO_BIND(Slider, Slider1), VIZMO_BIND(Slider, Slider2), VIZMO_BIND(Slider, Slider6),
      VIZMO_BIND(Slider, Slider7), VIZMO_BIND(Slider, Slider8), VIZMO_BIND(Slider, Slider9),
      VIZMO_BIND(Slider, Slider10), VIZMO_BIND(Slider, Slider11), VIZMO_BIND(Slider, Slider12),
      VIZMO_BIND(ComboBox, Combo1),
      VIZMO_BIND(ComboBox, Combo2),
      VIZMO_BIND(TextBox, Text2),
      VIZMO_BIND(DisplayField, Text3),
      VIZMO_BIND(DisplayField, Text4),
      VIZMO_BIND(CommandButton, Command27), VIZMO_BIND(CommandButton, Command28), VIZMO_BIND(CommandButton, Command29),
      VIZMO_BIND(CommandButton, Command30), VIZMO_BIND(CommandButton, Command31),
      VIZMO_BIND(Slider, Slider3), VIZMO_BIND(Slider, Slider4), VIZMO_BIND(Slider, Slider5),
      VIZMO_BIND(CommandButton, Command32)
{
}

#undef VIZMO_BIND

}  // namespace vizmo::form
