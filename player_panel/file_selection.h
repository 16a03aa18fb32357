#pragma once
// The model and script lists hand the selected file to the player; the "..."
// buttons of the ModelName, ScriptName and BackImage rows do the same through
// a file dialog.

#include "components/dispatch/handle.h"
#include "form/window_controls.h"

namespace vizmo::player_panel {

class FileSelection {
public:
    FileSelection(form::WindowControls& controls, const dispatch::Handle& player, const QString& baseDir);

    void File1_Click();
    void File2_Click();
    void Command1_Click();
    void Command4_Click();
    void Command22_Click();

private:
    void chooseFile(platform::CommonDialog& dialog, const QString& dialogName, const QString& folder,
                    const QString& filter, dispatch::DispId property);

    form::WindowControls& c_;
    const dispatch::Handle& Vizmo41;
    const QString& BaseDir;
};

}  // namespace vizmo::player_panel
