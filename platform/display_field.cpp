#include "platform/display_field.h"

#include "platform/ole_color.h"

#include <QLineEdit>

namespace vizmo::platform {

namespace {
constexpr std::uint32_t kWindowBackground = kSystemColorFlag | 5u;
constexpr std::uint32_t kWindowText = kSystemColorFlag | 8u;
}  // namespace

DisplayField::DisplayField(QWidget* parent, ErrorReporter& reporter)
    : Control(new QLineEdit(parent), reporter), backColor_(kWindowBackground), foreColor_(kWindowText)
{
    field()->setReadOnly(true);
    field()->setFrame(false);
    field()->setFocusPolicy(Qt::ClickFocus);  // text can be selected and copied, but Tab passes by
    field()->setAutoFillBackground(true);
    field()->setTextMargins(0, 0, 0, 0);
    applyColors();
}

QLineEdit* DisplayField::field() const { return static_cast<QLineEdit*>(widget()); }

QString DisplayField::text() const { return field()->text(); }

void DisplayField::setText(const QString& text)
{
    field()->setText(text);
    field()->setCursorPosition(0);
}

void DisplayField::setBackColor(std::uint32_t oleColor)
{
    backColor_ = oleColor;
    applyColors();
}

void DisplayField::setForeColor(std::uint32_t oleColor)
{
    foreColor_ = oleColor;
    applyColors();
}

void DisplayField::applyColors()
{
    QPalette palette = field()->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, toQColor(backColor_));
        palette.setColor(group, QPalette::Window, toQColor(backColor_));
        palette.setColor(group, QPalette::Text, toQColor(foreColor_));
    }
    field()->setPalette(palette);
}

}  // namespace vizmo::platform
