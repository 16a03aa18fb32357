#include "form/colour_pick.h"

#include "platform/command_button.h"
#include "platform/common_dialog.h"

namespace vizmo::form {

using namespace dispatch;
namespace dlg = platform::dialog_id;

void pickColour(platform::CommonDialog& dialog, const QString& dialogName, platform::CommandButton& button,
                const Handle& target, DispId property)
{
    const Handle d(dialog, dialogName);
    d.put(dlg::Flags, I4(platform::dialog_flag::ColorFullOpen));
    d.put(dlg::CancelError, Bool(true));
    try {
        d.call(dlg::ShowColor);
        target.put(property, I4(d.get(dlg::Color).toInt32()));
        button.setBackColor(std::uint32_t(d.get(dlg::Color).toInt32()));
    } catch (const RuntimeError&) {
    }
}

}  // namespace vizmo::form
