#include "speech_panel/speech_events.h"

#include "components/speech_component.h"
#include "platform/event_boundary.h"

namespace vizmo::speech_panel {

SpeechEvents::SpeechEvents(form::WindowControls& controls, platform::ErrorReporter& reporter)
    : c_(controls), reporter_(reporter)
{
    c_.KVTTSComponent1->onValidate([this](bool& cancel) { Validate(cancel); });
}

void SpeechEvents::handleEvent(dispatch::Object&, int position, dispatch::Args&)
{
    platform::runHandler(reporter_, [&] {
        namespace ev = speech::event;
        switch (position) {
        case ev::Play: c_.Text4->setText(QStringLiteral("Play")); break;
        case ev::Pause: c_.Text4->setText(QStringLiteral("Pause")); break;
        case ev::Stop: c_.Text4->setText(QStringLiteral("Stop")); break;
        case ev::Eof: c_.Text4->setText(QStringLiteral("EOF")); break;
        default: break;  // the word-boundary event is not shown
        }
    });
}

void SpeechEvents::Validate(bool& /*cancel*/)
{
    c_.Text4->setText(QStringLiteral("Validate"));
}

}  // namespace vizmo::speech_panel
