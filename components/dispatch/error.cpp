#include "components/dispatch/error.h"

namespace vizmo::dispatch {

QString standardDescription(int number)
{
    switch (number) {
    case err::InvalidCall: return QStringLiteral("Invalid procedure call or argument");
    case err::Overflow: return QStringLiteral("Overflow");
    case err::OutOfMemory: return QStringLiteral("Out of memory");
    case err::TypeMismatch: return QStringLiteral("Type mismatch");
    case err::FileNotFound: return QStringLiteral("File not found");
    case err::PathNotFound: return QStringLiteral("Path not found");
    case err::InvalidFileFormat: return QStringLiteral("Invalid file format");
    case err::InvalidPropertyValue: return QStringLiteral("Invalid property value");
    case err::NotSupported: return QStringLiteral("Object doesn't support this property or method");
    case err::WrongArgumentCount: return QStringLiteral("Wrong number of arguments or invalid property assignment");
    case err::CancelSelected: return QStringLiteral("Cancel was selected.");
    default: return {};
    }
}

RuntimeError::RuntimeError(Error error, QString member)
    : error_(std::move(error)), member_(std::move(member))
{
    if (error_.description.isEmpty())
        error_.description = standardDescription(error_.number);
    what_ = report().toStdString();
}

RuntimeError::RuntimeError(int number, QString description, QString member)
    : RuntimeError(Error{number, {}, std::move(description)}, std::move(member))
{
}

QString RuntimeError::report() const
{
    return QStringLiteral("Run-time error '%1':\n\n%2").arg(error_.number).arg(error_.description);
}

}  // namespace vizmo::dispatch
