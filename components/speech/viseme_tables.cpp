#include "components/speech/viseme_tables.h"

#include "components/player_control.h"
#include "components/speech/ipa_chart.h"

#include <array>
#include <utility>

namespace vizmo::speech {

namespace v = player::viseme;

namespace {

constexpr std::array<const char*, v::Count> kNames = {"sil", "PP", "FF", "TH", "DD", "kk", "CH", "SS",
                                                       "nn",  "RR", "aa", "E",  "ih", "oh", "ou"};

// Vowels by the chart: [height][front, central, back]. Unrounded lips are
// spread for the close front vowels and relaxed for the central and back
// ones (a little less wide); from open-mid down the jaw is what shows, and ʌ,
// the vowel of English "cup", opens it as a does.
constexpr PhoneShape kUnroundedVowels[7][3] = {
    /* close      i ɨ ɯ */ {{v::ih, 1.0}, {v::ih, 0.8}, {v::ih, 0.8}},
    /* near-close ɪ ᵻ   */ {{v::ih, 1.0}, {v::ih, 0.9}, {v::ih, 0.8}},
    /* close-mid  e ɘ ɤ */ {{v::E, 0.9}, {v::E, 0.9}, {v::E, 0.9}},
    /* mid        ə     */ {{v::E, 1.0}, {v::E, 1.0}, {v::E, 1.0}},
    /* open-mid   ɛ ɜ ʌ */ {{v::E, 1.0}, {v::E, 1.0}, {v::aa, 1.0}},
    /* near-open  æ ɐ   */ {{v::aa, 1.0}, {v::aa, 1.0}, {v::aa, 1.0}},
    /* open       a ɑ   */ {{v::aa, 1.0}, {v::aa, 1.0}, {v::aa, 1.0}},
};
// Rounded vowels round whether front or back (French u, German ü, Swedish ʉ
// are as rounded as u): close ones purse the lips (ou), the others round
// them about an open jaw (oh).
constexpr PhoneShape kRoundedVowels[7][3] = {
    /* close      y ʉ u */ {{v::ou, 1.0}, {v::ou, 1.0}, {v::ou, 1.0}},
    /* near-close ʏ ʊ   */ {{v::ou, 1.0}, {v::ou, 1.0}, {v::ou, 1.0}},
    /* close-mid  ø ɵ o */ {{v::oh, 1.0}, {v::oh, 1.0}, {v::oh, 1.0}},
    /* mid              */ {{v::oh, 1.0}, {v::oh, 1.0}, {v::oh, 1.0}},
    /* open-mid   œ ɞ ɔ */ {{v::oh, 1.0}, {v::oh, 1.0}, {v::oh, 1.0}},
    /* near-open        */ {{v::oh, 1.0}, {v::oh, 1.0}, {v::oh, 1.0}},
    /* open       ɶ ɒ   */ {{v::oh, 1.0}, {v::oh, 1.0}, {v::oh, 1.0}},
};
// Lips pressed together rather than pushed out (ᵝ, or a less-rounded mark)
// round them only part of the way.
constexpr double kCompressed = 0.7;

struct ConsonantRule {
    Place place;    // Place::None: any
    Manner manner;  // Manner::None: any
    PhoneShape shape;
};

using P = Place;
using M = Manner;

// Consonants by place and manner; the first rule that fits wins.
constexpr ConsonantRule kConsonantRules[] = {
    // Lips that meet: every bilabial stop, nasal, trill, click and affricate,
    // and the stops made at the lips and the velum at once.
    {P::Bilabial, M::Stop, {v::PP, 1.0}},
    {P::Bilabial, M::Nasal, {v::PP, 1.0}},
    {P::Bilabial, M::Trill, {v::PP, 1.0}},
    {P::Bilabial, M::Click, {v::PP, 1.0}},
    {P::Bilabial, M::Affricate, {v::PP, 1.0}},
    {P::LabialVelar, M::Stop, {v::PP, 1.0}},
    {P::LabialVelar, M::Nasal, {v::PP, 1.0}},
    // The bilabial fricatives (Spanish b between vowels): the lips all but meet.
    {P::Bilabial, M::None, {v::PP, 0.85}},
    // The lower lip on the teeth; the approximant ʋ (Hindi, Dutch w) only nears them.
    {P::Labiodental, M::Approximant, {v::FF, 0.6}},
    {P::Labiodental, M::None, {v::FF, 1.0}},
    // The rounded glides w, ʍ and ɥ.
    {P::LabialVelar, M::None, {v::ou, 1.0}},
    {P::LabialPalatal, M::None, {v::ou, 1.0}},
    // The tongue between the teeth: θ, ð.
    {P::Dental, M::Fricative, {v::TH, 1.0}},
    {P::Dental, M::Affricate, {v::TH, 1.0}},
    // Lips pushed forward, teeth near: ʃ ʒ tʃ dʒ, the retroflex hisses of
    // Polish and Mandarin, Swedish ɧ.
    {P::Postalveolar, M::Fricative, {v::CH, 1.0}},
    {P::Postalveolar, M::Affricate, {v::CH, 1.0}},
    {P::Retroflex, M::Fricative, {v::CH, 1.0}},
    {P::Retroflex, M::Affricate, {v::CH, 1.0}},
    // Teeth together, lips apart: s z ts dz, ɕ ʑ, ç ʝ.
    {P::Alveolar, M::Fricative, {v::SS, 1.0}},
    {P::Alveolar, M::Affricate, {v::SS, 1.0}},
    {P::AlveoloPalatal, M::Fricative, {v::SS, 1.0}},
    {P::AlveoloPalatal, M::Affricate, {v::SS, 1.0}},
    {P::Palatal, M::Fricative, {v::SS, 1.0}},
    {P::Palatal, M::Affricate, {v::SS, 1.0}},
    // The r of English (ɹ, ɻ) brings the lips a little forward.
    {P::Alveolar, M::Approximant, {v::RR, 1.0}},
    {P::Retroflex, M::Approximant, {v::RR, 1.0}},
    {P::Postalveolar, M::Approximant, {v::RR, 1.0}},
    // The palatal glide j: the spread lips of i.
    {P::Palatal, M::Approximant, {v::ih, 1.0}},
    // The rest is made behind the lips, which the mouth passes through:
    // nasals and laterals, the tongue tip's stops, taps and trills (DD), and
    // everything further back, up to the glottis (kk).
    {P::None, M::Nasal, {v::nn, 1.0}},
    {P::None, M::Lateral, {v::nn, 1.0}},
    {P::None, M::LateralFricative, {v::nn, 1.0}},
    {P::Dental, M::None, {v::DD, 1.0}},
    {P::Alveolar, M::None, {v::DD, 1.0}},
    {P::Postalveolar, M::None, {v::DD, 1.0}},
    {P::Retroflex, M::None, {v::DD, 1.0}},
    {P::None, M::None, {v::kk, 1.0}},
};

// A syllabic consonant other than the lips' own is the nucleus of its
// syllable (Czech "krk", English "bottle"): shown as a reduced vowel.
constexpr PhoneShape kSyllabicConsonant = {v::E, 0.6};
// A labialised consonant behind the lips (kʷ) rounds them already.
constexpr PhoneShape kLabialised = {v::ou, 0.6};

// Flite's US English phones in the IPA, one to one.
constexpr std::pair<const char*, const char*> kArpabet[] = {
    {"aa", "ɑ"},  {"ae", "æ"},  {"ah", "ʌ"},  {"ao", "ɔ"},  {"aw", "aʊ"}, {"ax", "ə"},  {"axr", "ɚ"},
    {"ay", "aɪ"}, {"b", "b"},   {"ch", "tʃ"}, {"d", "d"},   {"dh", "ð"},  {"dx", "ɾ"},  {"eh", "ɛ"},
    {"el", "l̩"},  {"em", "m̩"},  {"en", "n̩"},  {"er", "ɝ"},  {"ey", "eɪ"}, {"f", "f"},   {"g", "ɡ"},
    {"hh", "h"},  {"ih", "ɪ"},  {"ix", "ᵻ"},  {"iy", "i"},  {"jh", "dʒ"}, {"k", "k"},   {"l", "l"},
    {"m", "m"},   {"n", "n"},   {"ng", "ŋ"},  {"ow", "oʊ"}, {"oy", "ɔɪ"}, {"p", "p"},   {"r", "ɹ"},
    {"s", "s"},   {"sh", "ʃ"},  {"t", "t"},   {"th", "θ"},  {"uh", "ʊ"},  {"uw", "u"},  {"v", "v"},
    {"w", "w"},   {"y", "j"},   {"z", "z"},   {"zh", "ʒ"},
};

bool lipShape(int viseme) { return viseme == v::PP || viseme == v::FF || viseme == v::ou; }

PhoneShape consonantShape(const PhoneFeatures& sound)
{
    for (const ConsonantRule& rule : kConsonantRules) {
        if ((rule.place == P::None || rule.place == sound.place) &&
            (rule.manner == M::None || rule.manner == sound.manner))
            return rule.shape;
    }
    return {v::kk, 1.0};
}

}  // namespace

PhoneShape shapeOf(const PhoneFeatures& sound)
{
    switch (sound.kind) {
    case PhoneKind::Pause: return {v::Silence, 1.0};
    case PhoneKind::Vowel: {
        const auto& rows = sound.rounded ? kRoundedVowels : kUnroundedVowels;
        PhoneShape shape = rows[std::size_t(sound.height)][std::size_t(sound.backness)];
        if (sound.compressed)
            shape.weight *= kCompressed;
        return shape;
    }
    case PhoneKind::Consonant: break;
    }
    const PhoneShape shape = consonantShape(sound);
    if (sound.syllabic && shape.viseme != v::PP && shape.viseme != v::FF)
        return kSyllabicConsonant;
    if (sound.labialised && !lipShape(shape.viseme))
        return kLabialised;
    return shape;
}

PhoneMark espeakPhone(std::int64_t startSample, const QByteArray& ipa)
{
    const PhoneFeatures sound = ipaFeatures(ipa);
    const PhoneShape shape = shapeOf(sound);
    return {startSample, shape.viseme, ipa, -1, sound, shape.weight};
}

QByteArrayView ipaOfArpabet(QByteArrayView arpabet)
{
    for (const auto& [name, ipa] : kArpabet) {
        if (arpabet == QByteArrayView(name))
            return QByteArrayView(ipa);
    }
    return {};
}

PhoneMark flitePhone(std::int64_t startSample, const QByteArray& arpabet, int stress)
{
    PhoneFeatures sound;  // "pau" and "h#" are pauses
    if (const QByteArrayView ipa = ipaOfArpabet(arpabet); !ipa.isEmpty())
        sound = ipaFeatures(ipa);
    else if (arpabet != "pau" && arpabet != "h#")
        sound = ipaFeatures(arpabet);  // a name Flite has not used before: its nearest class
    const PhoneShape shape = shapeOf(sound);
    return {startSample, shape.viseme, arpabet, stress, sound, shape.weight};
}

QString visemeName(int viseme)
{
    if (viseme < 0 || viseme >= v::Count)
        return {};
    return QString::fromLatin1(kNames[std::size_t(viseme)]);
}

int visemeFromName(const QString& name)
{
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        if (name == QLatin1String(kNames[i]))
            return int(i);
    }
    return -1;
}

}  // namespace vizmo::speech
