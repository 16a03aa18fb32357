#pragma once
// A typed argument or result of a dispatch call. The type tags are those the
// window and the components agree on; a component checks them against its
// member table before it looks at a value.

#include <QString>

#include <cstdint>
#include <variant>

namespace vizmo::dispatch {

class Object;

enum class VarType : std::uint16_t {
    Empty = 0,
    I2 = 2,      // 16-bit signed integer
    I4 = 3,      // 32-bit signed integer
    R4 = 4,      // single-precision float
    String = 8,
    Object = 9,  // reference to another dispatch object
    Bool = 11,   // True is -1, False is 0
};

QString typeName(VarType type);

class Variant {
public:
    Variant() = default;
    static Variant i2(std::int16_t value);
    static Variant i4(std::int32_t value);
    static Variant r4(float value);
    static Variant string(QString value);
    static Variant object(Object* value);
    static Variant boolean(bool value);

    VarType type() const { return type_; }
    bool isEmpty() const { return type_ == VarType::Empty; }

    // Exact accessors: the caller has checked type() (the member table does this
    // for components). A wrong type is a programming error and asserts.
    std::int16_t asI2() const;
    std::int32_t asI4() const;
    float asR4() const;
    const QString& asString() const;
    Object* asObject() const;
    bool asBool() const;
    // The raw Boolean as the wire carries it: -1 or 0.
    std::int16_t boolValue() const;

    // Host-side conversions with the platform's rules (numbers round half to
    // even, out-of-range numbers overflow). They throw RuntimeError.
    std::int32_t toInt32() const;
    QString toText() const;
    bool toBool() const;

    // "I2(-1)", "String(\"a\")": for logs and test failure messages.
    QString describe() const;

    friend bool operator==(const Variant& a, const Variant& b);

private:
    using Value = std::variant<std::monostate, std::int16_t, std::int32_t, float, QString, Object*, bool>;
    Variant(VarType type, Value value) : type_(type), value_(std::move(value)) {}
    VarType type_ = VarType::Empty;
    Value value_;
};

// Short names for building argument lists at call sites.
inline Variant I2(std::int16_t v) { return Variant::i2(v); }
inline Variant I4(std::int32_t v) { return Variant::i4(v); }
inline Variant R4(float v) { return Variant::r4(v); }
inline Variant Str(QString v) { return Variant::string(std::move(v)); }
inline Variant Obj(Object* v) { return Variant::object(v); }
inline Variant Bool(bool v) { return Variant::boolean(v); }

}  // namespace vizmo::dispatch
