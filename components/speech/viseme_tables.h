#pragma once
// Phones to the player's mouth shapes (player::viseme order: sil PP FF TH DD
// kk CH SS nn RR aa E ih oh ou), by the sound's features: one table for
// every language of both engines. eSpeak NG reports its phones in the IPA;
// Flite's US English phones are turned into the IPA one to one first. The
// table is documented in docs/player-speech-input.md.

#include "components/speech/phone_features.h"
#include "components/speech/speech_engine.h"

#include <QByteArrayView>
#include <QString>

#include <cstdint>

namespace vizmo::speech {

struct PhoneShape {
    int viseme = 0;
    double weight = 1.0;  // how far towards the viseme's full shape, 0..1
};

// The mouth shape of a sound with these features.
PhoneShape shapeOf(const PhoneFeatures& sound);

// A phone as eSpeak NG names it in the IPA ("p", "tʃ", "aɪ", "øː", "ɔ̃", "" for a pause).
PhoneMark espeakPhone(std::int64_t startSample, const QByteArray& ipa);
// A phone as Flite names it, lower-case ARPAbet ("p", "ch", "ay", "pau").
PhoneMark flitePhone(std::int64_t startSample, const QByteArray& arpabet, int stress = -1);
// Flite's phone in the IPA; empty for a pause or a name it does not have.
QByteArrayView ipaOfArpabet(QByteArrayView arpabet);

// "sil", "PP" ... "ou" and back; -1 for an unknown name.
QString visemeName(int viseme);
int visemeFromName(const QString& name);

}  // namespace vizmo::speech
