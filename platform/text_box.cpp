#include "platform/text_box.h"

#include "platform/event_watcher.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace vizmo::platform {

namespace {
QWidget* makeEditor(QWidget* parent, TextBox::Lines lines)
{
    if (lines == TextBox::Lines::Single)
        return new QLineEdit(parent);
    auto* edit = new QPlainTextEdit(parent);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    edit->setTabChangesFocus(true);
    return edit;
}

bool losesFocusToWindow(const QFocusEvent* event)
{
    return event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason;
}
}  // namespace

TextBox::TextBox(QWidget* parent, ErrorReporter& reporter, Lines lines)
    : Control(makeEditor(parent, lines), reporter), multiLine_(lines == Lines::Multi)
{
    new EventWatcher(widget(), QEvent::FocusOut, [this](QEvent* event) {
        if (losesFocusToWindow(static_cast<QFocusEvent*>(event)))
            raise(lostFocusHandler_);
    }, connections());
}

QLineEdit* TextBox::lineEdit() const { return static_cast<QLineEdit*>(widget()); }

QPlainTextEdit* TextBox::plainTextEdit() const { return static_cast<QPlainTextEdit*>(widget()); }

QString TextBox::text() const
{
    if (!multiLine_)
        return lineEdit()->text();
    QString text = plainTextEdit()->toPlainText();
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text;
}

void TextBox::setText(const QString& text)
{
    if (!multiLine_) {
        lineEdit()->setText(text);
        return;
    }
    QString plain = text;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    plainTextEdit()->setPlainText(plain);
}

}  // namespace vizmo::platform
