#pragma once
// Errors of dispatch calls and of the window's controls, numbered as the
// platform numbers its run-time errors.

#include <QString>

#include <cstdint>
#include <exception>
#include <string>

namespace vizmo::dispatch {

namespace err {
inline constexpr int InvalidCall = 5;            // "Invalid procedure call or argument"
inline constexpr int Overflow = 6;               // "Overflow"
inline constexpr int OutOfMemory = 7;            // "Out of memory"
inline constexpr int TypeMismatch = 13;          // "Type mismatch"
inline constexpr int FileNotFound = 53;          // "File not found"
inline constexpr int PathNotFound = 76;          // "Path not found"
inline constexpr int InvalidPropertyValue = 380; // "Invalid property value"
inline constexpr int WrongArgumentCount = 450;   // "Wrong number of arguments or invalid property assignment"
inline constexpr int NotSupported = 438;         // "Object doesn't support this property or method"
inline constexpr int InvalidFileFormat = 321;    // "Invalid file format"
inline constexpr int CancelSelected = 32755;     // "Cancel was selected."
}  // namespace err

// The platform's standard text for an error number, or an empty string.
QString standardDescription(int number);

struct Error {
    std::int32_t number = 0;
    QString source;       // the class that raised it, e.g. "Vizmo4"
    QString description;
};

// An unhandled error of a handler's step: thrown by the host-side call helpers
// and by the controls, caught at the boundary of the handler that ran the step.
class RuntimeError : public std::exception {
public:
    explicit RuntimeError(Error error, QString member = {});
    RuntimeError(int number, QString description, QString member = {});

    const Error& error() const { return error_; }
    int number() const { return error_.number; }
    const QString& description() const { return error_.description; }
    // The member that failed, as the program named it: "Vizmo41.ModelName".
    const QString& member() const { return member_; }
    // "Run-time error 'N':\n\n<description>".
    QString report() const;
    const char* what() const noexcept override { return what_.c_str(); }

private:
    Error error_;
    QString member_;
    std::string what_;
};

}  // namespace vizmo::dispatch
