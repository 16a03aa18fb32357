#include "shell/form1.h"

#include "platform/common_dialog.h"
#include "platform/error_reporter.h"
#include "platform/window.h"
#include "player_panel/file_selection.h"
#include "player_panel/player_events.h"
#include "player_panel/pose_sliders.h"
#include "player_panel/property_commands.h"
#include "player_panel/tracking.h"
#include "shell/app_icon.h"
#include "shell/layout_table.h"
#include "shell/tabs_and_view.h"
#include "speech_panel/speech_commands.h"
#include "speech_panel/speech_sliders.h"
#include "speech_panel/speech_events.h"

namespace vizmo::shell {

Form1::Form1(Environment environment, HostedComponent player, HostedComponent speech)
    : env_(std::move(environment)),
      player_(player),
      speech_(speech),
      Vizmo41(player.object, QStringLiteral("Vizmo41")),
      KVTTSComponent1(speech.object, QStringLiteral("KVTTSComponent1"))
{
    const WindowDesign& design = windowDesign();
    window_ = std::make_unique<platform::Window>(env_.screen, design.clientWidth, design.clientHeight);
    window_->setCaption(design.caption);
    window_->setIcon(appIcon());
    window_->widget()->setObjectName(QStringLiteral("Form1"));
    if (env_.reporter) {
        reporter_ = env_.reporter;
    } else {
        ownReporter_ = std::make_unique<platform::MessageBoxErrorReporter>(window_->widget());
        reporter_ = ownReporter_.get();
    }
    build();
    bindHandlers();
}

Form1::~Form1()
{
    // The components outlive the window's notifications: detach them first.
    player_.object.setEventSink(nullptr);
    speech_.object.setEventSink(nullptr);
}

void Form1::build()
{
    for (const LayoutRow& row : layoutTable()) {
        std::unique_ptr<platform::Control> control = createControl(row, containerWidget(row.container));
        control->setName(row.name);
        control->setTabIndex(row.tabIndex);
        control->setTwipsGeometry(row.left, row.top, row.width, row.height, window_->scale());
        if (row.design.bold)
            control->setBold(true);
        registry_.add(control.get());
        owned_.push_back(std::move(control));
    }
    createNonVisualControls();
    controls_ = std::make_unique<form::WindowControls>(registry_);

    std::vector<platform::Control*> order;
    for (const auto& control : owned_)
        order.push_back(control.get());
    platform::applyTabOrder(order);
}

QWidget* Form1::containerWidget(const Container& container) const
{
    if (container.name == QLatin1String("Form1"))
        return window_->widget();
    if (container.page >= 0)
        return registry_.get<platform::TabControl>(container.name)->page(container.page);
    return registry_.find(container.name)->widget();
}

std::unique_ptr<platform::Control> Form1::createControl(const LayoutRow& row, QWidget* parent)
{
    platform::ErrorReporter& reporter = *reporter_;
    const Design& d = row.design;
    switch (row.kind) {
    case ControlKind::PlayerSite:
        return std::make_unique<platform::ComponentSite>(parent, player_.widget, reporter);
    case ControlKind::SpeechSite:
        return std::make_unique<platform::ComponentSite>(parent, speech_.widget, reporter);
    case ControlKind::CommandButton: {
        auto button = std::make_unique<platform::CommandButton>(parent, reporter);
        button->setCaption(row.caption);
        button->setGraphical(d.graphical);
        if (d.backColor)
            button->setBackColor(*d.backColor);
        return button;
    }
    case ControlKind::Label: {
        auto label = std::make_unique<platform::Label>(parent, reporter);
        label->setCaption(row.caption);
        return label;
    }
    case ControlKind::Frame: {
        auto frame = std::make_unique<platform::Frame>(parent, reporter);
        frame->setCaption(row.caption);
        return frame;
    }
    case ControlKind::CheckBox: {
        auto box = std::make_unique<platform::CheckBox>(parent, reporter);
        box->setCaption(row.caption);
        box->setValue(d.value.value_or(0));  // no handler is bound yet: design values raise nothing
        return box;
    }
    case ControlKind::ComboBox: {
        auto combo = std::make_unique<platform::ComboBox>(parent, reporter);
        for (const QString& item : d.items)
            combo->addItem(item);
        return combo;
    }
    case ControlKind::FileListBox: {
        auto list = std::make_unique<platform::FileListBox>(parent, reporter);
        list->setPattern(d.pattern);
        return list;
    }
    case ControlKind::TextBox: {
        auto box = std::make_unique<platform::TextBox>(parent, reporter, platform::TextBox::Lines::Multi);
        box->setText(d.text);
        return box;
    }
    case ControlKind::DisplayField: {
        auto field = std::make_unique<platform::DisplayField>(parent, reporter);
        if (d.backColor)
            field->setBackColor(*d.backColor);
        if (d.foreColor)
            field->setForeColor(*d.foreColor);
        return field;
    }
    case ControlKind::Slider: {
        auto slider = std::make_unique<platform::Slider>(parent, reporter);
        slider->setRange(d.min.value_or(0), d.max.value_or(10));
        slider->setValue(d.value.value_or(slider->min()));
        slider->setTickFrequency(d.tickFrequency.value_or(1));
        slider->setSmallChange(d.smallChange.value_or(1));
        slider->setLargeChange(d.largeChange.value_or(1));
        return slider;
    }
    case ControlKind::ProgressBar: {
        auto bar = std::make_unique<platform::ProgressBar>(parent, reporter);
        bar->setMax(float(d.max.value_or(100)));
        bar->setValue(0.0f);
        return bar;
    }
    case ControlKind::TabControl: {
        auto tabs = std::make_unique<platform::TabControl>(parent, reporter);
        for (const QString& caption : windowDesign().tabCaptions)
            tabs->addTab(caption);
        return tabs;
    }
    }
    Q_UNREACHABLE();
}

void Form1::createNonVisualControls()
{
    // Enabled from the start with interval 0, which keeps it silent.
    timer_ = std::make_unique<platform::Timer>(*reporter_);
    timer_->setName(QStringLiteral("Timer1"));
    for (int i = 0; i < 6; ++i)
        dialogs_.push_back(std::make_unique<platform::CommonDialog>(env_.dialogs, window_->widget()));
}

void Form1::bindHandlers()
{
    form::WindowControls& c = *controls_;
    c.Timer1 = timer_.get();
    c.CommonDialog1 = dialogs_[0].get();
    c.CommonDialog2 = dialogs_[1].get();
    c.CommonDialog3 = dialogs_[2].get();
    c.CommonDialog4 = dialogs_[3].get();
    c.CommonDialog5 = dialogs_[4].get();
    c.CommonDialog6 = dialogs_[5].get();

    tabs_ = std::make_unique<TabsAndView>(c, *window_, env_.screen, Vizmo41, KVTTSComponent1);
    fileSelection_ = std::make_unique<player_panel::FileSelection>(c, Vizmo41, BaseDir);
    propertyCommands_ = std::make_unique<player_panel::PropertyCommands>(c, Vizmo41);
    poseSliders_ = std::make_unique<player_panel::PoseSliders>(c, Vizmo41);
    tracking_ = std::make_unique<player_panel::Tracking>(c, Vizmo41, env_.screen, env_.cursor);
    playerEvents_ = std::make_unique<player_panel::PlayerEvents>(c, *reporter_);
    speechCommands_ = std::make_unique<speech_panel::SpeechCommands>(c, KVTTSComponent1);
    speechSliders_ = std::make_unique<speech_panel::SpeechSliders>(c, KVTTSComponent1);
    speechEvents_ = std::make_unique<speech_panel::SpeechEvents>(c, *reporter_);

    player_.object.setEventSink(playerEvents_.get());
    speech_.object.setEventSink(speechEvents_.get());
}

void Form1::show()
{
    window_->centreOnPrimaryScreen();
    window_->show();
}

}  // namespace vizmo::shell
