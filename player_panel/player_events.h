#pragma once
// The player's event monitor: the event's name in the event box, the position
// as text and on the progress bar, and at the end of a script, on the "Demo"
// tab, the next model and script when their "Auto" boxes are ticked.

#include "components/dispatch/object.h"
#include "form/window_controls.h"

namespace vizmo::platform {
class ErrorReporter;
}

namespace vizmo::player_panel {

class PlayerEvents : public dispatch::EventSink {
public:
    PlayerEvents(form::WindowControls& controls, platform::ErrorReporter& reporter);

    void handleEvent(dispatch::Object& source, int position, dispatch::Args& args) override;

    void Progress(std::int32_t current, std::int32_t total);
    void Eof();
    void Validate(bool& cancel);

private:
    void show(const QString& eventName);
    void advance(platform::FileListBox& list);

    form::WindowControls& c_;
    platform::ErrorReporter& reporter_;
};

}  // namespace vizmo::player_panel
