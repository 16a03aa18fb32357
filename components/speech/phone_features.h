#pragma once
// What kind of sound a phone is, by the IPA chart's features, which are the
// same for every language: a vowel's height, backness and rounding, a
// consonant's place and manner, and the marks that change them (length,
// nasalisation, rounding, syllabic). The mouth follows these, not the
// engine's spelling of the phone (components/speech/ipa_chart.h reads them).

#include <cstdint>

namespace vizmo::speech {

enum class PhoneKind : std::uint8_t { Pause, Vowel, Consonant };

// Where a consonant is made; the labial ones are seen on the lips.
enum class Place : std::uint8_t {
    None,
    Bilabial,
    LabialVelar,  // w, and stops with both closures
    LabialPalatal,  // the glide of French "huit"
    Labiodental,
    Dental,
    Alveolar,
    Postalveolar,
    Retroflex,
    AlveoloPalatal,
    Palatal,
    Velar,
    Uvular,
    Pharyngeal,
    Glottal,
};

// How it is made.
enum class Manner : std::uint8_t {
    None,
    Stop,         // with a closure: plosives, implosives, ejectives
    Nasal,
    Trill,
    Tap,
    Fricative,
    Affricate,    // a stop released into a fricative: "tʃ", "ts"
    Approximant,
    Lateral,      // lateral approximants
    LateralFricative,
    Click,
};

// Vowel height, the chart's seven rows.
enum class Height : std::uint8_t { Close, NearClose, CloseMid, Mid, OpenMid, NearOpen, Open };
enum class Backness : std::uint8_t { Front, Central, Back };

struct PhoneFeatures {
    PhoneKind kind = PhoneKind::Pause;
    // Vowels (and the vowel a syllabic consonant is shown as).
    Height height = Height::Mid;
    Backness backness = Backness::Central;
    // A rounded vowel, or a consonant made with rounded lips (w, a labialised k).
    bool rounded = false;
    // Lips pressed together rather than pushed forward (the u of Japanese).
    bool compressed = false;
    bool reduced = false;  // a schwa or an extra-short vowel
    bool nasalised = false;
    bool isLong = false;
    // Consonants.
    Place place = Place::None;
    Manner manner = Manner::None;
    bool labialised = false;
    bool syllabic = false;  // a consonant that is a syllable's nucleus (Czech r in "krk")
    // False when a symbol of the phone is not in the chart and its class was guessed.
    bool known = true;

    bool isVowel() const { return kind == PhoneKind::Vowel; }
    bool isPause() const { return kind == PhoneKind::Pause; }
};

}  // namespace vizmo::speech
