#include "platform/command_button.h"

#include "platform/face_button.h"
#include "platform/ole_color.h"

namespace vizmo::platform {

namespace {
constexpr std::uint32_t kButtonFace = kSystemColorFlag | 15u;
}

CommandButton::CommandButton(QWidget* parent, ErrorReporter& reporter)
    : Control(new FaceButton(parent), reporter), backColor_(kButtonFace)
{
    button()->setAutoDefault(false);
    QObject::connect(button(), &QPushButton::clicked, connections(), [this] { raise(clickHandler_); });
}

FaceButton* CommandButton::button() const { return static_cast<FaceButton*>(widget()); }

QString CommandButton::caption() const { return button()->text(); }

void CommandButton::setCaption(const QString& caption)
{
    button()->setText(caption);
    setCaptionForAccessibility(caption);
}

bool CommandButton::graphical() const { return button()->faceShown(); }

void CommandButton::setGraphical(bool graphical)
{
    button()->setFaceShown(graphical);
    button()->setFaceColor(toQColor(backColor_));
}

void CommandButton::setBackColor(std::uint32_t oleColor)
{
    backColor_ = oleColor;
    button()->setFaceColor(toQColor(oleColor));
}

void CommandButton::click() { button()->click(); }

}  // namespace vizmo::platform
