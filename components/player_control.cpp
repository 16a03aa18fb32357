#include "components/player_control.h"

namespace vizmo::player {

using dispatch::MemberKind;
using dispatch::VarType;

namespace {
dispatch::Member prop(DispId id, const char* name, MemberKind kind, VarType type)
{
    if (kind == MemberKind::PropertyPut)
        return {id, QString::fromLatin1(name), kind, {type}, VarType::Empty};
    return {id, QString::fromLatin1(name), kind, {}, type};
}
}  // namespace

const dispatch::MemberTable& memberTable()
{
    using K = MemberKind;
    using T = VarType;
    static const dispatch::MemberTable table(
        {
#define VIZMO_PROPERTY(ID, NAME, TYPE) prop(ID, NAME, K::PropertyPut, TYPE), prop(ID, NAME, K::PropertyGet, TYPE)
            VIZMO_PROPERTY(id::ControStyle, "ControStyle", T::I2),
            VIZMO_PROPERTY(id::ModelName, "ModelName", T::String),
            VIZMO_PROPERTY(id::ScriptName, "ScriptName", T::String),
            VIZMO_PROPERTY(id::AutoPlay, "AutoPlay", T::I2),
            VIZMO_PROPERTY(id::MenuStyle, "MenuStyle", T::I2),
            VIZMO_PROPERTY(id::LifeMode, "LifeMode", T::I2),
            VIZMO_PROPERTY(id::StrengthMode, "StrengthMode", T::I2),
            VIZMO_PROPERTY(id::BackImage, "BackImage", T::String),
            VIZMO_PROPERTY(id::BackMode, "BackMode", T::I2),
            VIZMO_PROPERTY(id::Strength, "Strength", T::I4),
            VIZMO_PROPERTY(id::BackColor, "BackColor", T::I4),
            VIZMO_PROPERTY(id::BorderStyle, "BorderStyle", T::I2),
            VIZMO_PROPERTY(id::ListenTo, "ListenTo", T::String),
#undef VIZMO_PROPERTY
            prop(id::ListenInputs, "ListenInputs", K::PropertyGet, T::String),
            {id::Play, "Play", K::Method, {T::I4}},
            {id::Stop, "Stop", K::Method, {}},
            {id::Pause, "Pause", K::Method, {}},
            {id::SetEye, "SetEye", K::Method, {T::I2, T::I2, T::I2, T::I2}},
            {id::SetHead, "SetHead", K::Method, {T::I2, T::I2, T::I2}},
            {id::SetShoulder, "SetShoulder", K::Method, {T::I2, T::I2}},
            {id::SetFPS, "SetFPS", K::Method, {T::I4, T::I4}},
            {id::SpeechActive, "SpeechActive", K::Method, {T::Bool}},
            {id::SpeechViseme, "SpeechViseme", K::Method, {T::I2, T::I2, T::I4}},
            {id::SpeechWord, "SpeechWord", K::Method, {T::I2}},
        },
        {
            {event::Click, "Click", {}},
            {event::DoubleClick, "DoubleClick", {}},
            {event::MouseDown, "MouseDown", {T::I2, T::I2, T::I4, T::I4}},
            {event::MouseUp, "MouseUp", {T::I2, T::I2, T::I4, T::I4}},
            {event::Eof, "Eof", {T::String}},
            {event::Progress, "Progress", {T::I4, T::I4, T::I4, T::I4}},
            {event::ModelLoaded, "ModelLoaded", {T::String}},
            {event::ScriptLoaded, "ScriptLoaded", {T::String}},
            {event::MouseEnter, "MouseEnter", {}},
            {event::MouseLeave, "MouseLeave", {}},
            {event::Play, "Play", {}},
            {event::Pause, "Pause", {}},
            {event::Stop, "Stop", {}},
        });
    return table;
}

}  // namespace vizmo::player
