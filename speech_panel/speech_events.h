#pragma once
// The speech event monitor: the name of the SpeechComponent's last event in
// the speech page's event box, whichever page is in front.

#include "components/dispatch/object.h"
#include "form/window_controls.h"

namespace vizmo::platform {
class ErrorReporter;
}

namespace vizmo::speech_panel {

class SpeechEvents : public dispatch::EventSink {
public:
    SpeechEvents(form::WindowControls& controls, platform::ErrorReporter& reporter);

    void handleEvent(dispatch::Object& source, int position, dispatch::Args& args) override;
    void Validate(bool& cancel);

private:
    form::WindowControls& c_;
    platform::ErrorReporter& reporter_;
};

}  // namespace vizmo::speech_panel
