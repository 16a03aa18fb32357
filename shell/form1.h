#pragma once
// Form1, the program's one window: built from the layout table, it hosts the
// PlayerControl and the SpeechComponent, binds every notification to its
// handler and runs the start-up (Form_Load) once before it is first shown.

#include "components/dispatch/handle.h"
#include "form/window_controls.h"
#include "shell/environment.h"
#include "shell/hosted_component.h"

#include <memory>
#include <vector>

namespace vizmo::platform {
class Window;
class ErrorReporter;
}  // namespace vizmo::platform

namespace vizmo::player_panel {
class FileSelection;
class PropertyCommands;
class PoseSliders;
class Tracking;
class PlayerEvents;
}  // namespace vizmo::player_panel

namespace vizmo::speech_panel {
class SpeechCommands;
class SpeechSliders;
class SpeechEvents;
}  // namespace vizmo::speech_panel

namespace vizmo::shell {

class TabsAndView;

class Form1 {
public:
    Form1(Environment environment, HostedComponent player, HostedComponent speech);
    ~Form1();
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // The start-up: runs once, before the window is first shown.
    void Form_Load();
    // Centred on the primary screen, on the tab that is current.
    void show();

    platform::Window& window() const { return *window_; }
    form::WindowControls& controls() const { return *controls_; }
    const form::ControlRegistry& registry() const { return registry_; }
    platform::ErrorReporter& reporter() const { return *reporter_; }
    // The content root the file dialogs start under; fixed by the start-up.
    const QString& baseDir() const { return BaseDir; }

private:
    void build();
    std::unique_ptr<platform::Control> createControl(const struct LayoutRow& row, QWidget* parent);
    QWidget* containerWidget(const struct Container& container) const;
    void createNonVisualControls();
    void bindHandlers();
    QString contentFolder(const QString& name) const;

    Environment env_;
    HostedComponent player_;
    HostedComponent speech_;
    dispatch::Handle Vizmo41;
    dispatch::Handle KVTTSComponent1;
    QString BaseDir;

    std::unique_ptr<platform::Window> window_;
    std::unique_ptr<platform::ErrorReporter> ownReporter_;
    platform::ErrorReporter* reporter_ = nullptr;
    std::vector<std::unique_ptr<platform::Control>> owned_;
    std::unique_ptr<platform::Timer> timer_;
    std::vector<std::unique_ptr<platform::CommonDialog>> dialogs_;
    form::ControlRegistry registry_;
    std::unique_ptr<form::WindowControls> controls_;

    std::unique_ptr<TabsAndView> tabs_;
    std::unique_ptr<player_panel::FileSelection> fileSelection_;
    std::unique_ptr<player_panel::PropertyCommands> propertyCommands_;
    std::unique_ptr<player_panel::PoseSliders> poseSliders_;
    std::unique_ptr<player_panel::Tracking> tracking_;
    std::unique_ptr<player_panel::PlayerEvents> playerEvents_;
    std::unique_ptr<speech_panel::SpeechCommands> speechCommands_;
    std::unique_ptr<speech_panel::SpeechSliders> speechSliders_;
    std::unique_ptr<speech_panel::SpeechEvents> speechEvents_;
};

}  // namespace vizmo::shell
