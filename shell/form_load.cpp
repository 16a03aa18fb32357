// Form1's start-up: the state every later action starts from.

#include "components/dispatch/variant.h"
#include "components/player_control.h"
#include "components/speech_component.h"
#include "platform/error_reporter.h"
#include "platform/screen.h"
#include "platform/window.h"
#include "shell/form1.h"

#include <QDir>

namespace vizmo::shell {

using namespace dispatch;

namespace {

// A content folder step that failed: reported naming the folder, and the steps
// that need that folder are skipped; the rest of the start-up goes on.
bool contentStep(platform::ErrorReporter& reporter, const QString& folder, const std::function<void()>& step)
{
    try {
        step();
        return true;
    } catch (const RuntimeError& e) {
        reporter.report(RuntimeError(Error{e.number(), e.error().source, e.description() + QStringLiteral(": ") + folder},
                                     e.member()));
        return false;
    }
}

// Selects a list's first entry; an empty list is reported as the folder it shows.
bool selectFirst(platform::ErrorReporter& reporter, platform::FileListBox& list)
{
    if (list.listCount() == 0) {
        reporter.report(RuntimeError(Error{err::InvalidPropertyValue, {},
                                           QStringLiteral("No files matching %1 in %2").arg(list.pattern(), list.path())},
                                     list.name() + QStringLiteral(".Selected")));
        return false;
    }
    return contentStep(reporter, list.path(), [&] { list.setSelected(0, true); });
}

}  // namespace

QString Form1::contentFolder(const QString& name) const
{
    // Plain concatenation, as every join of folder and name in the program.
    return env_.applicationDir + QDir::separator() + name;
}

void Form1::Form_Load()
{
    form::WindowControls& c = *controls_;
    platform::ErrorReporter& reporter = *reporter_;

    c.Timer1->setInterval(100);
    BaseDir = env_.applicationDir;
    if (env_.applicationDir == kDevelopmentDirectory)
        BaseDir = env_.developmentDataDir;

    KVTTSComponent1.call(speech::id::Initialize);
    (void)KVTTSComponent1.call(speech::id::AttachPlayer, {Obj(&player_.object)}).toBool();
    c.Combo1->setListIndex(0);  // chooses the first engine through Combo1's handler, nested
    c.KVTTSComponent1->setVisible(false);
    c.ProgressBar1->setVisible(true);
    KVTTSComponent1.put(speech::id::Text, Str(c.Text2->text()));

    const QString models = contentFolder(QStringLiteral("qvm"));
    const QString scripts = contentFolder(QStringLiteral("qvs"));
    bool haveModels = contentStep(reporter, models, [&] { c.File1->setPath(models); });
    bool haveScripts = contentStep(reporter, scripts, [&] { c.File2->setPath(scripts); });
    // Selecting entry 0 runs the list's handler at once, which hands the path to the player.
    if (haveModels)
        haveModels = selectFirst(reporter, *c.File1);
    if (haveScripts)
        haveScripts = selectFirst(reporter, *c.File2);
    if (haveModels)
        Vizmo41.put(player::id::ModelName, Str(c.File1->path() + QDir::separator() + c.File1->fileName()));
    if (haveScripts)
        Vizmo41.put(player::id::ScriptName, Str(c.File2->path() + QDir::separator() + c.File2->fileName()));

    window_->setWidthTwips(env_.screen.twipsPerPixelX() * 270.0f);
    c.Command32->setCaption(QStringLiteral(">"));
    Vizmo41.call(player::id::Play, {I4(0)});
}

}  // namespace vizmo::shell
