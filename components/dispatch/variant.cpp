#include "components/dispatch/variant.h"

#include "components/dispatch/conversion.h"
#include "components/dispatch/error.h"

#include <cassert>

namespace vizmo::dispatch {

QString typeName(VarType type)
{
    switch (type) {
    case VarType::Empty: return QStringLiteral("Empty");
    case VarType::I2: return QStringLiteral("I2");
    case VarType::I4: return QStringLiteral("I4");
    case VarType::R4: return QStringLiteral("R4");
    case VarType::String: return QStringLiteral("String");
    case VarType::Object: return QStringLiteral("Object");
    case VarType::Bool: return QStringLiteral("Bool");
    }
    return QStringLiteral("Unknown");
}

Variant Variant::i2(std::int16_t value) { return {VarType::I2, value}; }
Variant Variant::i4(std::int32_t value) { return {VarType::I4, value}; }
Variant Variant::r4(float value) { return {VarType::R4, value}; }
Variant Variant::string(QString value) { return {VarType::String, std::move(value)}; }
Variant Variant::object(Object* value) { return {VarType::Object, value}; }
Variant Variant::boolean(bool value) { return {VarType::Bool, value}; }

std::int16_t Variant::asI2() const { assert(type_ == VarType::I2); return std::get<std::int16_t>(value_); }
std::int32_t Variant::asI4() const { assert(type_ == VarType::I4); return std::get<std::int32_t>(value_); }
float Variant::asR4() const { assert(type_ == VarType::R4); return std::get<float>(value_); }
const QString& Variant::asString() const { assert(type_ == VarType::String); return std::get<QString>(value_); }
Object* Variant::asObject() const { assert(type_ == VarType::Object); return std::get<Object*>(value_); }
bool Variant::asBool() const { assert(type_ == VarType::Bool); return std::get<bool>(value_); }
std::int16_t Variant::boolValue() const { return asBool() ? -1 : 0; }

std::int32_t Variant::toInt32() const
{
    switch (type_) {
    case VarType::Empty: return 0;
    case VarType::I2: return asI2();
    case VarType::I4: return asI4();
    case VarType::R4: return dispatch::toInt32(asR4());
    case VarType::Bool: return boolValue();
    case VarType::String: {
        bool ok = false;
        const double d = asString().trimmed().toDouble(&ok);
        if (!ok)
            throw RuntimeError(err::TypeMismatch, standardDescription(err::TypeMismatch));
        return dispatch::toInt32(d);
    }
    case VarType::Object: break;
    }
    throw RuntimeError(err::TypeMismatch, standardDescription(err::TypeMismatch));
}

QString Variant::toText() const
{
    switch (type_) {
    case VarType::Empty: return {};
    case VarType::I2: return QString::number(asI2());
    case VarType::I4: return QString::number(asI4());
    case VarType::R4: return QString::number(double(asR4()));
    case VarType::String: return asString();
    case VarType::Bool: return asBool() ? QStringLiteral("True") : QStringLiteral("False");
    case VarType::Object: break;
    }
    throw RuntimeError(err::TypeMismatch, standardDescription(err::TypeMismatch));
}

bool Variant::toBool() const
{
    switch (type_) {
    case VarType::Empty: return false;
    case VarType::Bool: return asBool();
    case VarType::I2: case VarType::I4: case VarType::R4: return toInt32() != 0;
    case VarType::String: {
        const QString s = asString().trimmed();
        if (s.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
        if (s.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
        return toInt32() != 0;
    }
    case VarType::Object: break;
    }
    throw RuntimeError(err::TypeMismatch, standardDescription(err::TypeMismatch));
}

QString Variant::describe() const
{
    switch (type_) {
    case VarType::Empty: return QStringLiteral("Empty");
    case VarType::String: return QStringLiteral("String(\"%1\")").arg(asString());
    case VarType::Object: return QStringLiteral("Object(%1)").arg(asObject() ? QStringLiteral("set") : QStringLiteral("Nothing"));
    case VarType::Bool: return QStringLiteral("Bool(%1)").arg(boolValue());
    case VarType::R4: return QStringLiteral("R4(%1)").arg(double(asR4()));
    default: return QStringLiteral("%1(%2)").arg(typeName(type_)).arg(toInt32());
    }
}

bool operator==(const Variant& a, const Variant& b)
{
    return a.type_ == b.type_ && a.value_ == b.value_;
}

}  // namespace vizmo::dispatch
