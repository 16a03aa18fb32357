#include "shell/tabs_and_view.h"

#include "components/player_control.h"
#include "components/speech_component.h"
#include "platform/screen.h"
#include "platform/window.h"

namespace vizmo::shell {

using namespace dispatch;

TabsAndView::TabsAndView(form::WindowControls& controls, platform::Window& window, const platform::Screen& screen,
                         const Handle& player, const Handle& speech)
    : c_(controls), window_(window), screen_(screen), Vizmo41(player), KVTTSComponent1(speech)
{
    c_.SSTab1->onClick([this](int previous) { SSTab1_Click(previous); });
    c_.Command32->onClick([this] { Command32_Click(); });
}

void TabsAndView::SSTab1_Click(int /*previousTab*/)
{
    Vizmo41.call(player::id::Stop);
    KVTTSComponent1.call(speech::id::Stop);
    // The speech strip and the progress bar share the place under the player.
    if (c_.SSTab1->caption() == QLatin1String("KV TTS")) {
        c_.KVTTSComponent1->setVisible(true);
        c_.ProgressBar1->setVisible(false);
        c_.Command32->setVisible(false);
    } else {
        c_.KVTTSComponent1->setVisible(false);
        c_.ProgressBar1->setVisible(true);
        c_.Command32->setVisible(true);
    }
    if (c_.SSTab1->caption() == QLatin1String("Demo"))
        Vizmo41.call(player::id::Play, {I4(0)});
}

void TabsAndView::Command32_Click()
{
    // The caption is the view state: "<" means expanded.
    if (c_.Command32->caption() == QLatin1String("<")) {
        window_.setWidthTwips(screen_.twipsPerPixelX() * 270.0f);
        c_.Command32->setCaption(QStringLiteral(">"));
    } else {
        window_.setWidthTwips(screen_.twipsPerPixelX() * 584.0f);
        c_.Command32->setCaption(QStringLiteral("<"));
    }
}

}  // namespace vizmo::shell
