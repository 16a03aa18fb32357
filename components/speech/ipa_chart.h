#pragma once
// A phone written in the IPA, read by the chart: its symbols (a vowel, a
// consonant, a diphthong "aɪ", an affricate "tʃ"), their diacritics (length
// "ː", nasalisation, rounding, syllabic "r̩", labialised "kʷ", raised or
// lowered "e̞", centralised "ä") and what to pass over (stress marks, tie
// bars, tones, eSpeak NG's "-" of a short vowel and its language switches).
//
// A phone is described by its nucleus: a diphthong by its first vowel that is
// not marked non-syllabic, a run of consonants by the one most seen on the
// lips (a "pf" by its p, a "tʃ" by its ʃ, with the affricate's manner).
//
// A phone written only as a small letter is the sound that letter is the
// small form of (eSpeak NG's glide "ʲ" after a palatalised consonant is a j).
//
// A symbol the chart does not hold (a new engine release) is looked up
// without its accents and in lower case; failing that it is left out if the
// phone has others, or else the phone is taken as a mid central vowel, which
// keeps the mouth open. Either way `known` is false and the symbol is logged
// once per process.

#include "components/speech/phone_features.h"

#include <QByteArrayView>

namespace vizmo::speech {

PhoneFeatures ipaFeatures(QByteArrayView utf8);

}  // namespace vizmo::speech
