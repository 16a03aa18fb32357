#pragma once
// What the window takes from the platform it runs on. Everything here can be
// replaced, so tests run the window against a settable screen and cursor,
// scripted dialogs and a recording error reporter.

#include <QString>

namespace vizmo::platform {
class Screen;
class Cursor;
class DialogDriver;
class ErrorReporter;
}  // namespace vizmo::platform

namespace vizmo::shell {

struct Environment {
    platform::Screen& screen;
    platform::Cursor& cursor;
    platform::DialogDriver& dialogs;
    // Where unhandled run-time errors go; nullptr gives the window's message box.
    platform::ErrorReporter* reporter = nullptr;
    // The folder of the executable, without a trailing separator.
    QString applicationDir;
    // The content root used instead of the application folder when the program
    // runs from the development directory.
    QString developmentDataDir;
};

// The development directory, compared exactly with the application folder.
inline const QString kDevelopmentDirectory = QStringLiteral("C:\\Program Files\\Microsoft Visual Studio\\VB98");

}  // namespace vizmo::shell
