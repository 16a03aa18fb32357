#include "speech_panel/speech_commands.h"

#include "components/speech_component.h"
#include "form/colour_pick.h"

namespace vizmo::speech_panel {

using namespace dispatch;
namespace id = speech::id;

SpeechCommands::SpeechCommands(form::WindowControls& controls, const Handle& speech)
    : c_(controls), KVTTSComponent1(speech)
{
    c_.Combo1->onClick([this] { Combo1_Click(); });
    c_.Combo2->onClick([this] { Combo2_Click(); });
    c_.Text2->onLostFocus([this] { Text2_LostFocus(); });
    c_.Command27->onClick([this] { Command27_Click(); });
    c_.Command31->onClick([this] { Command31_Click(); });
    c_.Command28->onClick([this] { Command28_Click(); });
    c_.Command29->onClick([this] { Command29_Click(); });
    c_.Command30->onClick([this] { Command30_Click(); });
}

void SpeechCommands::Combo1_Click()
{
    // Two separate tests: any other index sends no interface at all.
    if (c_.Combo1->listIndex() == 0)
        KVTTSComponent1.put(id::Interface, Str(speech::kInterfaceEspeak));
    if (c_.Combo1->listIndex() == 1)
        KVTTSComponent1.put(id::Interface, Str(speech::kInterfaceFlite));
    c_.Combo2->clear();
    const std::int32_t count = KVTTSComponent1.get(id::VoiceCount).toInt32();
    for (std::int32_t i = 0; i < count; ++i) {
        c_.Combo2->addItem(KVTTSComponent1.get(id::VoiceName, {I4(i)}).toText());
        // Inside the loop: the first pass selects voice 0 through Combo2's handler.
        c_.Combo2->setListIndex(0);
    }
}

void SpeechCommands::Combo2_Click()
{
    KVTTSComponent1.put(id::VoiceIndex, I2(std::int16_t(c_.Combo2->listIndex())));
}

void SpeechCommands::Text2_LostFocus()
{
    KVTTSComponent1.put(id::Text, Str(c_.Text2->text()));
}

void SpeechCommands::Command27_Click()
{
    // The box may still have the focus: send what it holds now.
    KVTTSComponent1.put(id::Text, Str(c_.Text2->text()));
    KVTTSComponent1.call(id::Play);
}

void SpeechCommands::Command31_Click() { KVTTSComponent1.call(id::Pause); }
void SpeechCommands::Command28_Click() { KVTTSComponent1.call(id::Stop); }

void SpeechCommands::Command29_Click()
{
    form::pickColour(*c_.CommonDialog5, QStringLiteral("CommonDialog5"), *c_.Command29, KVTTSComponent1,
                             id::BackColor);
}

void SpeechCommands::Command30_Click()
{
    form::pickColour(*c_.CommonDialog6, QStringLiteral("CommonDialog6"), *c_.Command30, KVTTSComponent1,
                             id::ForeColor);
}

}  // namespace vizmo::speech_panel
