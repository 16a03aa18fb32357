#pragma once
// The SpeechComponent's contract as the window uses it: dispatch ids,
// argument types and event positions of class KVTTSComponent. The class
// itself lives in components/speech/.

#include "components/dispatch/member_table.h"

namespace vizmo::speech {

using dispatch::DispId;

inline const QString kClassName = QStringLiteral("KVTTSComponent");

// The two interface names the component answers to.
inline const QString kInterfaceEspeak = QStringLiteral("Microsoft SAPI 4.1");
inline const QString kInterfaceFlite = QStringLiteral("Microsoft SAPI 5.0");

namespace id {
// Properties (put and get).
inline constexpr DispId Interface = 1;   // String: one of the two interface names
inline constexpr DispId Text = 2;        // String: the text to speak
inline constexpr DispId BackColor = 3;   // I4: colour of the strip
inline constexpr DispId Pitch = 5;       // I4: 0..100, 50 natural
inline constexpr DispId Speed = 6;       // I4: 0..100, 50 natural
inline constexpr DispId Volume = 7;      // I4: 0..100
inline constexpr DispId ForeColor = 8;   // I4: colour of the strip's text
inline constexpr DispId VoiceIndex = 12; // I2: 0-based index into the engine's voices
// Read-only values.
inline constexpr DispId VoiceCount = 18; // () -> I4
inline constexpr DispId VoiceName = 19;  // (index I4) -> String
// Methods.
inline constexpr DispId AttachPlayer = 14;  // (player Object) -> Bool
inline constexpr DispId Play = 15;
inline constexpr DispId Stop = 16;
inline constexpr DispId Pause = 17;
inline constexpr DispId Initialize = 20;
}  // namespace id

namespace event {
inline constexpr int Play = 0;
inline constexpr int Pause = 1;
inline constexpr int Stop = 2;
inline constexpr int Eof = 3;
inline constexpr int Word = 4;  // (start I4, length I4): the word being spoken, as a range of Text
}  // namespace event

const dispatch::MemberTable& memberTable();

}  // namespace vizmo::speech
