#pragma once
// A text box, one line or several. The multi-line box wraps its text and shows
// no scroll bars; its Text keeps the platform's line breaks ("\r\n").

#include "platform/control.h"

class QLineEdit;
class QPlainTextEdit;

namespace vizmo::platform {

class TextBox : public Control {
public:
    enum class Lines { Single, Multi };
    TextBox(QWidget* parent, ErrorReporter& reporter, Lines lines = Lines::Single);

    QString text() const;
    void setText(const QString& text);
    bool multiLine() const { return multiLine_; }

    // Raised when the box has lost the keyboard focus to another control of the
    // window; not when a menu pops up or another window is activated.
    void onLostFocus(std::function<void()> handler) { lostFocusHandler_ = std::move(handler); }

private:
    QLineEdit* lineEdit() const;
    QPlainTextEdit* plainTextEdit() const;

    bool multiLine_;
    std::function<void()> lostFocusHandler_;
};

}  // namespace vizmo::platform
