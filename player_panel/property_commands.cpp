#include "player_panel/property_commands.h"

#include "components/player_control.h"
#include "form/colour_pick.h"

namespace vizmo::player_panel {

using namespace dispatch;
namespace id = player::id;

PropertyCommands::PropertyCommands(form::WindowControls& controls, const Handle& player)
    : c_(controls), Vizmo41(player)
{
    struct ValueButton {
        platform::CommandButton* button;
        DispId property;
        std::int16_t value;
    };
    const ValueButton buttons[] = {
        {c_.Command10, id::ControStyle, 0},  {c_.Command9, id::ControStyle, 1},
        {c_.Command12, id::BorderStyle, 0},  {c_.Command11, id::BorderStyle, 1},
        {c_.Command18, id::AutoPlay, 0},     {c_.Command13, id::AutoPlay, 1},
        {c_.Command2, id::MenuStyle, -1},    {c_.Command19, id::MenuStyle, 0},   {c_.Command20, id::MenuStyle, 1},
        {c_.Command16, id::LifeMode, 0},     {c_.Command14, id::LifeMode, 1},
        {c_.Command15, id::LifeMode, 2},     {c_.Command17, id::LifeMode, 3},
        {c_.Command3, id::BackMode, -1},     {c_.Command23, id::BackMode, 0},
        {c_.Command25, id::BackMode, 1},     {c_.Command24, id::BackMode, 2},
        {c_.Command6, id::StrengthMode, 0},  {c_.Command5, id::StrengthMode, 1},
    };
    for (const ValueButton& b : buttons)
        b.button->onClick([this, property = b.property, value = b.value] { putValue(property, value); });

    c_.Command7->onClick([this] { Command7_Click(); });
    c_.Command26->onClick([this] { Command26_Click(); });
    c_.Command8->onClick([this] { Command8_Click(); });
    c_.Command21->onClick([this] { Command21_Click(); });
}

void PropertyCommands::putValue(DispId property, std::int16_t value)
{
    Vizmo41.put(property, I2(value));
}

void PropertyCommands::Command7_Click() { Vizmo41.call(id::Play, {I4(0)}); }
void PropertyCommands::Command26_Click() { Vizmo41.call(id::Pause); }
void PropertyCommands::Command8_Click() { Vizmo41.call(id::Stop); }

void PropertyCommands::Command21_Click()
{
    form::pickColour(*c_.CommonDialog3, QStringLiteral("CommonDialog3"), *c_.Command21, Vizmo41, id::BackColor);
}

}  // namespace vizmo::player_panel
