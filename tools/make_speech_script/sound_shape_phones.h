#pragma once
// Mouth shapes from the sound of a voice alone, for languages the phone
// recogniser does not know or recordings it hears badly: the tool is the
// offline caller of the analysis the player listens with
// (components/sound_shapes), fed the whole recording at once. Each run of
// frames of one class becomes a stand-in phone that the component's lip
// sync shapes by its usual rules.

#include "components/speech/speech_engine.h"
#include "tools/make_speech_script/recording.h"

#include <vector>

namespace vizmo::speech {

// Stand-in phones (Flite's lower-case names) at the recording's own rate.
std::vector<PhoneMark> shapesFromSound(const Recording& recording);

}  // namespace vizmo::speech
