#include "components/speech_component.h"

namespace vizmo::speech {

const dispatch::MemberTable& memberTable()
{
    using K = dispatch::MemberKind;
    using T = dispatch::VarType;
    static const dispatch::MemberTable table(
        {
#define VIZMO_PROPERTY(ID, NAME, TYPE) {ID, NAME, K::PropertyPut, {TYPE}}, {ID, NAME, K::PropertyGet, {}, TYPE}
            VIZMO_PROPERTY(id::Interface, "Interface", T::String),
            VIZMO_PROPERTY(id::Text, "Text", T::String),
            VIZMO_PROPERTY(id::BackColor, "BackColor", T::I4),
            VIZMO_PROPERTY(id::Pitch, "Pitch", T::I4),
            VIZMO_PROPERTY(id::Speed, "Speed", T::I4),
            VIZMO_PROPERTY(id::Volume, "Volume", T::I4),
            VIZMO_PROPERTY(id::ForeColor, "ForeColor", T::I4),
            VIZMO_PROPERTY(id::VoiceIndex, "VoiceIndex", T::I2),
#undef VIZMO_PROPERTY
            {id::VoiceCount, "VoiceCount", K::PropertyGet, {}, T::I4},
            {id::VoiceName, "VoiceName", K::PropertyGet, {T::I4}, T::String},
            {id::AttachPlayer, "AttachPlayer", K::Method, {T::Object}, T::Bool},
            {id::Play, "Play", K::Method, {}},
            {id::Stop, "Stop", K::Method, {}},
            {id::Pause, "Pause", K::Method, {}},
            {id::Initialize, "Initialize", K::Method, {}},
        },
        {
            {event::Play, "Play", {}},
            {event::Pause, "Pause", {}},
            {event::Stop, "Stop", {}},
            {event::Eof, "EOF", {}},
            {event::Word, "Word", {T::I4, T::I4}},
        });
    return table;
}

}  // namespace vizmo::speech
