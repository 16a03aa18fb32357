#include "platform/common_dialog.h"

namespace vizmo::platform {

using dispatch::MemberKind;
using dispatch::Result;
using dispatch::Variant;
using dispatch::VarType;

const dispatch::MemberTable& commonDialogMembers()
{
    using K = MemberKind;
    using T = VarType;
    static const dispatch::MemberTable table({
#define VIZMO_DIALOG_PROPERTY(ID, NAME, TYPE) \
    {dialog_id::ID, QStringLiteral(NAME), K::PropertyPut, {TYPE}}, \
    {dialog_id::ID, QStringLiteral(NAME), K::PropertyGet, {}, TYPE}
        VIZMO_DIALOG_PROPERTY(FileName, "FileName", T::String),
        VIZMO_DIALOG_PROPERTY(Filter, "Filter", T::String),
        VIZMO_DIALOG_PROPERTY(InitDir, "InitDir", T::String),
        VIZMO_DIALOG_PROPERTY(Color, "Color", T::I4),
        VIZMO_DIALOG_PROPERTY(Flags, "Flags", T::I4),
        VIZMO_DIALOG_PROPERTY(CancelError, "CancelError", T::Bool),
        VIZMO_DIALOG_PROPERTY(FilterIndex, "FilterIndex", T::I2),
#undef VIZMO_DIALOG_PROPERTY
        {dialog_id::ShowOpen, QStringLiteral("ShowOpen"), K::Method, {}},
        {dialog_id::ShowColor, QStringLiteral("ShowColor"), K::Method, {}},
    });
    return table;
}

CommonDialog::CommonDialog(DialogDriver& driver, QWidget* parent)
    : Object(QStringLiteral("CommonDialog"), commonDialogMembers()), driver_(driver), parent_(parent)
{
}

Result CommonDialog::doPut(dispatch::DispId id, const Variant& value)
{
    switch (id) {
    case dialog_id::FileName: fileName_ = value.asString(); break;
    case dialog_id::Filter: filter_ = value.asString(); break;
    case dialog_id::InitDir: initDir_ = value.asString(); break;
    case dialog_id::Color: color_ = std::uint32_t(value.asI4()); break;
    case dialog_id::Flags: flags_ = value.asI4(); break;
    case dialog_id::CancelError: cancelError_ = value.asBool(); break;
    case dialog_id::FilterIndex: filterIndex_ = value.asI2(); break;
    default: return fail(dispatch::err::NotSupported, {});
    }
    return {};
}

Result CommonDialog::doGet(dispatch::DispId id, const dispatch::Args&)
{
    switch (id) {
    case dialog_id::FileName: return Variant::string(fileName_);
    case dialog_id::Filter: return Variant::string(filter_);
    case dialog_id::InitDir: return Variant::string(initDir_);
    case dialog_id::Color: return Variant::i4(std::int32_t(color_));
    case dialog_id::Flags: return Variant::i4(flags_);
    case dialog_id::CancelError: return Variant::boolean(cancelError_);
    case dialog_id::FilterIndex: return Variant::i2(filterIndex_);
    default: return fail(dispatch::err::NotSupported, {});
    }
}

Result CommonDialog::doCall(dispatch::DispId id, const dispatch::Args&)
{
    switch (id) {
    case dialog_id::ShowOpen: return showOpen();
    case dialog_id::ShowColor: return showColor();
    default: return fail(dispatch::err::NotSupported, {});
    }
}

Result CommonDialog::showOpen()
{
    const std::optional<QString> chosen =
        driver_.openFile(OpenFileRequest{initDir_, filter_, filterIndex_, fileName_, flags_, parent_.data()});
    if (!chosen)
        return cancelled();
    fileName_ = *chosen;
    return {};
}

Result CommonDialog::showColor()
{
    const std::optional<std::uint32_t> chosen = driver_.pickColor(ColorRequest{color_, flags_, parent_.data()});
    if (!chosen)
        return cancelled();
    color_ = *chosen;
    return {};
}

Result CommonDialog::cancelled() const
{
    if (cancelError_)
        return fail(dispatch::err::CancelSelected, {});
    return {};
}

}  // namespace vizmo::platform
