#include "platform/label.h"

#include <QLabel>

namespace vizmo::platform {

Label::Label(QWidget* parent, ErrorReporter& reporter) : Control(new QLabel(parent), reporter)
{
    label()->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label()->setWordWrap(true);
    // Captions are shown as written: "&" is not a mnemonic here.
    label()->setTextFormat(Qt::PlainText);
}

QLabel* Label::label() const { return static_cast<QLabel*>(widget()); }

QString Label::caption() const { return label()->text(); }

void Label::setCaption(const QString& caption)
{
    label()->setText(caption);
    setCaptionForAccessibility(caption);
}

}  // namespace vizmo::platform
