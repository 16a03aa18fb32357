#pragma once
// Where a handler's unhandled run-time error goes. The window shows it the way
// the platform always has; tests record it.

#include "components/dispatch/error.h"

#include <QPointer>
#include <QString>

class QMessageBox;
class QWidget;

namespace vizmo::platform {

class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;
    virtual void report(const dispatch::RuntimeError& error) = 0;
};

// A warning box titled with the application's name: "Run-time error 'N':",
// a blank line, the description, and the member that failed. The box does not
// block the window, and reports never pile up: while one is open the same error
// again (a timer repeating it every tick) shows nothing new, and a different one
// replaces the text of the open box.
class MessageBoxErrorReporter : public ErrorReporter {
public:
    explicit MessageBoxErrorReporter(QWidget* parent);
    ~MessageBoxErrorReporter() override;

    void report(const dispatch::RuntimeError& error) override;

    // The open report, or nullptr.
    QMessageBox* openBox() const;

private:
    QWidget* parent_;
    QPointer<QMessageBox> box_;
    QString shownKey_;
};

}  // namespace vizmo::platform
