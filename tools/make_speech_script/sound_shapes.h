#pragma once
// Mouth shapes from the sound of a voice alone, for languages the phone
// recogniser does not know or recordings it hears badly. Each stretch of the
// sound gets a stand-in phone that the component's lip sync shapes by its
// usual rules: silences close the mouth, vowels open it (as far as they are
// loud, from the sound the lip sync is given) and are rounded, spread or open
// by where their lowest resonances lie, hissing sounds bring the teeth
// together.

#include "components/speech/speech_engine.h"
#include "tools/make_speech_script/recording.h"

#include <vector>

namespace vizmo::speech {

// Stand-in phones (Flite's lower-case names) at the recording's own rate.
std::vector<PhoneMark> shapesFromSound(const Recording& recording);

}  // namespace vizmo::speech
