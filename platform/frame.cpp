#include "platform/frame.h"

#include <QGroupBox>

namespace vizmo::platform {

Frame::Frame(QWidget* parent, ErrorReporter& reporter) : Control(new QGroupBox(parent), reporter)
{
    box()->setFocusPolicy(Qt::NoFocus);
}

QGroupBox* Frame::box() const { return static_cast<QGroupBox*>(widget()); }

QString Frame::caption() const { return box()->title(); }

void Frame::setCaption(const QString& caption)
{
    box()->setTitle(caption);
    setCaptionForAccessibility(caption);
}

}  // namespace vizmo::platform
