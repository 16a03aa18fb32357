#include "player_panel/file_selection.h"

#include "components/player_control.h"
#include "platform/common_dialog.h"

#include <QDir>

namespace vizmo::player_panel {

using namespace dispatch;
namespace dlg = platform::dialog_id;

FileSelection::FileSelection(form::WindowControls& controls, const Handle& player, const QString& baseDir)
    : c_(controls), Vizmo41(player), BaseDir(baseDir)
{
    c_.File1->onClick([this] { File1_Click(); });
    c_.File2->onClick([this] { File2_Click(); });
    c_.Command1->onClick([this] { Command1_Click(); });
    c_.Command4->onClick([this] { Command4_Click(); });
    c_.Command22->onClick([this] { Command22_Click(); });
}

void FileSelection::File1_Click()
{
    Vizmo41.put(player::id::ModelName, Str(c_.File1->path() + QDir::separator() + c_.File1->fileName()));
}

void FileSelection::File2_Click()
{
    Vizmo41.put(player::id::ScriptName, Str(c_.File2->path() + QDir::separator() + c_.File2->fileName()));
}

void FileSelection::Command1_Click()
{
    chooseFile(*c_.CommonDialog1, QStringLiteral("CommonDialog1"), QStringLiteral("qvm"), QStringLiteral("*.qvm"),
               player::id::ModelName);
}

void FileSelection::Command4_Click()
{
    chooseFile(*c_.CommonDialog2, QStringLiteral("CommonDialog2"), QStringLiteral("qvs"), QStringLiteral("*.qvs"),
               player::id::ScriptName);
}

void FileSelection::Command22_Click()
{
    chooseFile(*c_.CommonDialog4, QStringLiteral("CommonDialog4"), QStringLiteral("bg"), QStringLiteral("*.*"),
               player::id::BackImage);
}

void FileSelection::chooseFile(platform::CommonDialog& dialog, const QString& dialogName, const QString& folder,
                               const QString& filter, DispId property)
{
    const Handle d(dialog, dialogName);
    d.put(dlg::InitDir, Str(BaseDir + QDir::separator() + folder));
    d.put(dlg::Flags, I4(platform::dialog_flag::HideReadOnly));
    d.put(dlg::Filter, Str(filter));
    d.put(dlg::FilterIndex, I2(2));
    d.put(dlg::CancelError, Bool(true));
    // From here on, Cancel and any other error end the handler quietly.
    try {
        d.call(dlg::ShowOpen);
        Vizmo41.put(property, Str(d.get(dlg::FileName).toText()));
    } catch (const RuntimeError&) {
    }
}

}  // namespace vizmo::player_panel
