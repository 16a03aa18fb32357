#pragma once
// The PlayerControl's contract as the window uses it: dispatch ids, argument
// types and event positions of class Vizmo4. The class itself lives in
// components/player/.

#include "components/dispatch/member_table.h"

namespace vizmo::player {

using dispatch::DispId;

inline const QString kClassName = QStringLiteral("Vizmo4");

namespace id {
// Properties (put and get).
inline constexpr DispId ControStyle = 1;    // I2: 0 none, 1 playback bar on the face
inline constexpr DispId ModelName = 2;      // String: full path of a .qvm file
inline constexpr DispId ScriptName = 3;     // String: full path of a .qvs file
inline constexpr DispId AutoPlay = 4;       // I2: 1 starts a newly set script at once
inline constexpr DispId MenuStyle = 7;      // I2: -1 no menu, 0 short, 1 full
inline constexpr DispId LifeMode = 12;      // I2: 0 still, 1 blinks, 2 and breathing, 3 and gaze, head, hair, gestures
inline constexpr DispId StrengthMode = 13;  // I2: 0 the script's strength, 1 the Strength property
inline constexpr DispId BackImage = 15;     // String: full path of an image file
inline constexpr DispId BackMode = 16;      // I2: -1 transparent, 0 colour, 1 stretched, 2 tiled
inline constexpr DispId Strength = 19;      // I4: 0..255
inline constexpr DispId BackColor = -501;   // I4: 0x00BBGGRR or a system colour reference
inline constexpr DispId BorderStyle = -504; // I2: 0 none, 1 single
// Methods.
inline constexpr DispId Play = 21;          // (mode I4)
inline constexpr DispId Stop = 22;
inline constexpr DispId Pause = 23;
inline constexpr DispId SetEye = 25;        // (x I2, y I2, x I2, y I2): the eye on the viewer's left, then
                                            // the right; ±128 to the corner, y below -128 lowers that lid (-255 winks)
inline constexpr DispId SetHead = 26;       // (x I2, y I2, z I2)
inline constexpr DispId SetShoulder = 27;   // (left I2, right I2)
inline constexpr DispId SetFPS = 34;        // (0 I4, frames per second I4)
// Speech input, used by the SpeechComponent to drive the mouth (see docs/player-speech-input.md).
inline constexpr DispId SpeechActive = 40;  // (active Bool): while True the speech mouth replaces the script's
inline constexpr DispId SpeechViseme = 41;  // (viseme I2 0..14, weight I2 0..255, blendMs I4 0..1000)
inline constexpr DispId SpeechWord = 42;    // (stress I2 0..255): a word's sound starts now
// Listening: the face follows a sound input as it is heard (see docs/player-listening.md).
// The window does not use them; the player's context menu offers the same choice.
inline constexpr DispId ListenTo = 50;      // String: the input's name, "" for none (the default);
                                            // refused with 380 when no input has that name now
inline constexpr DispId ListenInputs = 51;  // String, get only: the inputs there are now, one a
                                            // line: name, a tab, description; "" when there are none
}  // namespace id

// Event positions in the control's own event list.
namespace event {
inline constexpr int Click = 0;
inline constexpr int DoubleClick = 1;
inline constexpr int MouseDown = 2;    // (button I2, shift I2, x I4, y I4)
inline constexpr int MouseUp = 3;      // (button I2, shift I2, x I4, y I4)
inline constexpr int Eof = 4;          // (script name String)
inline constexpr int Progress = 5;     // (state I4, frame I4, current ms I4, total ms I4)
inline constexpr int ModelLoaded = 6;  // (model name String)
inline constexpr int ScriptLoaded = 7; // (script name String)
inline constexpr int MouseEnter = 8;
inline constexpr int MouseLeave = 9;
inline constexpr int Play = 10;
inline constexpr int Pause = 11;
inline constexpr int Stop = 12;
}  // namespace event

// The visemes the speech input and the scripts' mouth tracks name.
namespace viseme {
inline constexpr int Silence = 0, PP = 1, FF = 2, TH = 3, DD = 4, kk = 5, CH = 6, SS = 7, nn = 8, RR = 9,
                     aa = 10, E = 11, ih = 12, oh = 13, ou = 14;
inline constexpr int Count = 15;
}  // namespace viseme

const dispatch::MemberTable& memberTable();

}  // namespace vizmo::player
