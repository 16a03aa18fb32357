#include "platform/control_errors.h"

#include "components/dispatch/error.h"

#include <QCoreApplication>

namespace vizmo::platform {

void throwControlError(int number, const QString& controlName, const char* property)
{
    const QString member = controlName.isEmpty() ? QString::fromLatin1(property)
                                                 : controlName + QLatin1Char('.') + QLatin1String(property);
    QString description = dispatch::standardDescription(number);
    if (description.isEmpty() && number == kInvalidArrayIndex)
        description = QStringLiteral("Invalid property array index");
    throw dispatch::RuntimeError(dispatch::Error{number, QCoreApplication::applicationName(), description}, member);
}

void throwInvalidPropertyValue(const QString& controlName, const char* property)
{
    throwControlError(dispatch::err::InvalidPropertyValue, controlName, property);
}

}  // namespace vizmo::platform
