#include "components/speech/ipa_chart.h"

#include <QLoggingCategory>
#include <QString>

#include <algorithm>
#include <mutex>
#include <optional>
#include <set>
#include <vector>

namespace vizmo::speech {

namespace {

Q_LOGGING_CATEGORY(lcPhones, "vizmo.speech.phones")

using H = Height;
using B = Backness;

struct VowelSymbol {
    char32_t symbol;
    Height height;
    Backness backness;
    bool rounded;
    bool reduced;
};

// The vowel chart, row by row from close to open; each row front, central,
// back, unrounded before rounded.
constexpr VowelSymbol kVowels[] = {
    {U'i', H::Close, B::Front, false, false},   {U'y', H::Close, B::Front, true, false},
    {U'ɨ', H::Close, B::Central, false, false}, {U'ʉ', H::Close, B::Central, true, false},
    {U'ɯ', H::Close, B::Back, false, false},    {U'u', H::Close, B::Back, true, false},
    // ᵻ and ᵿ are the reduced vowels of unstressed syllables (English "roses").
    {U'ɪ', H::NearClose, B::Front, false, false}, {U'ʏ', H::NearClose, B::Front, true, false},
    {U'ᵻ', H::NearClose, B::Central, false, true}, {U'ᵿ', H::NearClose, B::Central, true, true},
    {U'ʊ', H::NearClose, B::Back, true, false},
    {U'e', H::CloseMid, B::Front, false, false}, {U'ø', H::CloseMid, B::Front, true, false},
    {U'ɘ', H::CloseMid, B::Central, false, false}, {U'ɵ', H::CloseMid, B::Central, true, false},
    {U'ɤ', H::CloseMid, B::Back, false, false},  {U'o', H::CloseMid, B::Back, true, false},
    // The schwas, plain and r-coloured: the reduced vowels of most languages.
    {U'ə', H::Mid, B::Central, false, true}, {U'ɚ', H::Mid, B::Central, false, true},
    // ε, the Greek letter, is the older form of ɛ; eSpeak NG's Danish still writes it.
    {U'ɛ', H::OpenMid, B::Front, false, false}, {U'ε', H::OpenMid, B::Front, false, false},
    {U'œ', H::OpenMid, B::Front, true, false},
    {U'ɜ', H::OpenMid, B::Central, false, false}, {U'ɞ', H::OpenMid, B::Central, true, false},
    {U'ɝ', H::OpenMid, B::Central, false, false}, {U'ʌ', H::OpenMid, B::Back, false, false},
    {U'ɔ', H::OpenMid, B::Back, true, false},
    // ɐ is the reduced a of English, German, Portuguese and Russian.
    {U'æ', H::NearOpen, B::Front, false, false}, {U'ɐ', H::NearOpen, B::Central, false, true},
    {U'a', H::Open, B::Front, false, false},     {U'ɶ', H::Open, B::Front, true, false},
    {U'ɑ', H::Open, B::Back, false, false},      {U'ɒ', H::Open, B::Back, true, false},
};

using P = Place;
using M = Manner;

struct ConsonantSymbol {
    char32_t symbol;
    Place place;
    Manner manner;
};

constexpr ConsonantSymbol kConsonants[] = {
    // Stops, with implosives and ejectives' bases; "g" as eSpeak NG writes it beside "ɡ".
    {U'p', P::Bilabial, M::Stop},  {U'b', P::Bilabial, M::Stop},    {U'ɓ', P::Bilabial, M::Stop},
    {U't', P::Alveolar, M::Stop},  {U'd', P::Alveolar, M::Stop},    {U'ɗ', P::Alveolar, M::Stop},
    {U'ʈ', P::Retroflex, M::Stop}, {U'ɖ', P::Retroflex, M::Stop},   {U'c', P::Palatal, M::Stop},
    {U'ɟ', P::Palatal, M::Stop},   {U'ʄ', P::Palatal, M::Stop},     {U'k', P::Velar, M::Stop},
    {U'ɡ', P::Velar, M::Stop},     {U'g', P::Velar, M::Stop},       {U'ɠ', P::Velar, M::Stop},
    {U'q', P::Uvular, M::Stop},    {U'ɢ', P::Uvular, M::Stop},      {U'ʛ', P::Uvular, M::Stop},
    {U'ʡ', P::Pharyngeal, M::Stop}, {U'ʔ', P::Glottal, M::Stop},
    // Nasals.
    {U'm', P::Bilabial, M::Nasal}, {U'ɱ', P::Labiodental, M::Nasal}, {U'n', P::Alveolar, M::Nasal},
    {U'ɳ', P::Retroflex, M::Nasal}, {U'ɲ', P::Palatal, M::Nasal},   {U'ŋ', P::Velar, M::Nasal},
    {U'ɴ', P::Uvular, M::Nasal},
    // Trills and taps.
    {U'ʙ', P::Bilabial, M::Trill}, {U'r', P::Alveolar, M::Trill},   {U'ʀ', P::Uvular, M::Trill},
    {U'ⱱ', P::Labiodental, M::Tap}, {U'ɾ', P::Alveolar, M::Tap},    {U'ɽ', P::Retroflex, M::Tap},
    {U'ɺ', P::Alveolar, M::Tap},
    // Fricatives; ɧ, the Swedish sj, is made at the palate and velum with the lips pushed forward.
    {U'ɸ', P::Bilabial, M::Fricative},     {U'β', P::Bilabial, M::Fricative},
    {U'f', P::Labiodental, M::Fricative},  {U'v', P::Labiodental, M::Fricative},
    {U'θ', P::Dental, M::Fricative},       {U'ð', P::Dental, M::Fricative},
    {U's', P::Alveolar, M::Fricative},     {U'z', P::Alveolar, M::Fricative},
    {U'ʃ', P::Postalveolar, M::Fricative}, {U'ʒ', P::Postalveolar, M::Fricative},
    {U'ɧ', P::Postalveolar, M::Fricative}, {U'ʂ', P::Retroflex, M::Fricative},
    {U'ʐ', P::Retroflex, M::Fricative},    {U'ɕ', P::AlveoloPalatal, M::Fricative},
    {U'ʑ', P::AlveoloPalatal, M::Fricative}, {U'ç', P::Palatal, M::Fricative},
    {U'ʝ', P::Palatal, M::Fricative},      {U'x', P::Velar, M::Fricative},
    {U'ɣ', P::Velar, M::Fricative},        {U'χ', P::Uvular, M::Fricative},
    {U'ʁ', P::Uvular, M::Fricative},       {U'ħ', P::Pharyngeal, M::Fricative},
    {U'ʕ', P::Pharyngeal, M::Fricative},   {U'ʜ', P::Pharyngeal, M::Fricative},
    {U'ʢ', P::Pharyngeal, M::Fricative},   {U'h', P::Glottal, M::Fricative},
    {U'ɦ', P::Glottal, M::Fricative},
    {U'ɬ', P::Alveolar, M::LateralFricative}, {U'ɮ', P::Alveolar, M::LateralFricative},
    // Approximants: the glides w, ɥ and j, and r of English.
    {U'ʋ', P::Labiodental, M::Approximant}, {U'ɹ', P::Alveolar, M::Approximant},
    {U'ɻ', P::Retroflex, M::Approximant},  {U'j', P::Palatal, M::Approximant},
    {U'ɰ', P::Velar, M::Approximant},      {U'w', P::LabialVelar, M::Approximant},
    {U'ʍ', P::LabialVelar, M::Approximant}, {U'ɥ', P::LabialPalatal, M::Approximant},
    // Laterals; ɫ is the dark l.
    {U'l', P::Alveolar, M::Lateral},  {U'ɫ', P::Alveolar, M::Lateral}, {U'ɭ', P::Retroflex, M::Lateral},
    {U'ʎ', P::Palatal, M::Lateral},   {U'ʟ', P::Velar, M::Lateral},
    // Clicks: only the bilabial one closes the lips.
    {U'ʘ', P::Bilabial, M::Click},    {U'ǀ', P::Dental, M::Click},     {U'ǃ', P::Alveolar, M::Click},
    {U'ǂ', P::Palatal, M::Click},     {U'ǁ', P::Alveolar, M::Click},
};

enum class Mark {
    Long, ExtraShort, Nasalised, Syllabic, NonSyllabic, MoreRounded, LessRounded, Labialised, Compressed,
    Raised, Lowered, Centralised,
};

struct Diacritic {
    char32_t symbol;
    Mark mark;
};

constexpr Diacritic kDiacritics[] = {
    {U'ː', Mark::Long},         {U'ˑ', Mark::Long},        {U'\u0306', Mark::ExtraShort},
    {U'\u0303', Mark::Nasalised}, {U'\u0329', Mark::Syllabic}, {U'\u030D', Mark::Syllabic},
    {U'\u032F', Mark::NonSyllabic}, {U'\u0311', Mark::NonSyllabic},
    {U'\u0339', Mark::MoreRounded}, {U'\u031C', Mark::LessRounded},
    // ʷ rounds a consonant; ᵝ is the compressed lips of the Japanese u.
    {U'ʷ', Mark::Labialised},   {U'ᶣ', Mark::Labialised},  {U'ᵝ', Mark::Compressed},
    {U'\u031D', Mark::Raised},  {U'\u02D4', Mark::Raised}, {U'\u031E', Mark::Lowered},
    {U'\u02D5', Mark::Lowered}, {U'\u0308', Mark::Centralised}, {U'\u033D', Mark::Centralised},
};

// Marks that change nothing the mouth shows: stress, syllable breaks, tie
// bars, tones, voicing, aspiration, secondary places, release, dental or
// apical tongue, tongue root; eSpeak NG's "-" (a short vowel) and its
// ASCII leftovers of phonemes that have no IPA of their own.
bool passedOver(char32_t c)
{
    if (c < 0x80)
        return !(c >= U'a' && c <= U'z') && !(c >= U'A' && c <= U'Z');
    if (c >= 0x0300 && c <= 0x036F)
        return true;  // combining marks not listed as diacritics above
    if (c >= 0x02B0 && c <= 0x02FF)
        return true;  // modifier letters: ʰ ʲ ˠ ˤ ˈ ˌ ˞ tone letters ...
    if (c >= 0x1D2C && c <= 0x1DBF)
        return true;  // superscript letters: ᵊ ⁿ-like release marks
    return c == U'ⁿ' || c == U'ˡ' || c == U'‿' || c == U'ʼ' || c == U'\u200D';
}

std::optional<Mark> diacriticOf(char32_t c)
{
    for (const Diacritic& d : kDiacritics) {
        if (d.symbol == c)
            return d.mark;
    }
    return std::nullopt;
}

struct Segment {
    PhoneFeatures features;
    bool nonSyllabic = false;
};

std::optional<Segment> segmentOf(char32_t c)
{
    for (const VowelSymbol& v : kVowels) {
        if (v.symbol == c) {
            Segment s;
            s.features.kind = PhoneKind::Vowel;
            s.features.height = v.height;
            s.features.backness = v.backness;
            s.features.rounded = v.rounded;
            s.features.reduced = v.reduced;
            return s;
        }
    }
    for (const ConsonantSymbol& k : kConsonants) {
        if (k.symbol == c) {
            Segment s;
            s.features.kind = PhoneKind::Consonant;
            s.features.place = k.place;
            s.features.manner = k.manner;
            s.features.rounded = k.place == P::LabialVelar || k.place == P::LabialPalatal;
            return s;
        }
    }
    return std::nullopt;
}

Height step(Height h, int by)
{
    return Height(std::clamp(int(h) + by, int(H::Close), int(H::Open)));
}

void apply(Mark mark, Segment& s)
{
    PhoneFeatures& f = s.features;
    switch (mark) {
    case Mark::Long: f.isLong = true; break;
    case Mark::ExtraShort: f.reduced = true; break;
    case Mark::Nasalised: f.nasalised = true; break;
    case Mark::Syllabic: f.syllabic = f.kind == PhoneKind::Consonant; break;
    case Mark::NonSyllabic: s.nonSyllabic = true; break;
    case Mark::MoreRounded: f.rounded = true; break;
    case Mark::LessRounded: f.compressed = f.rounded; break;
    case Mark::Labialised:
        f.rounded = true;
        f.labialised = f.kind == PhoneKind::Consonant;
        break;
    case Mark::Compressed:
        f.rounded = true;
        f.compressed = true;
        f.labialised = f.kind == PhoneKind::Consonant;
        break;
    case Mark::Raised: f.height = step(f.height, -1); break;
    case Mark::Lowered: f.height = step(f.height, 1); break;
    case Mark::Centralised: f.backness = B::Central; break;
    }
}

// How much a consonant shows on the lips, to pick one of a run: lips that
// meet, then the lip on the teeth, rounded lips, lips pushed forward, the
// tongue between the teeth, teeth together, the r, then the rest.
int visibility(const PhoneFeatures& f)
{
    if (f.place == P::Bilabial || (f.place == P::LabialVelar && f.manner != M::Approximant))
        return 7;
    if (f.place == P::Labiodental)
        return 6;
    if (f.rounded)
        return 5;
    if ((f.place == P::Postalveolar || f.place == P::Retroflex) && f.manner == M::Fricative)
        return 4;
    if (f.place == P::Dental && f.manner == M::Fricative)
        return 3;
    if (f.manner == M::Fricative)
        return 2;
    if (f.manner == M::Approximant)
        return 1;
    return 0;
}

PhoneFeatures combined(const std::vector<Segment>& segments)
{
    const auto vowel = std::find_if(segments.begin(), segments.end(), [](const Segment& s) {
        return s.features.isVowel() && !s.nonSyllabic;
    });
    if (vowel != segments.end())
        return vowel->features;
    const auto anyVowel = std::find_if(segments.begin(), segments.end(),
                                       [](const Segment& s) { return s.features.isVowel(); });
    if (anyVowel != segments.end())
        return anyVowel->features;
    PhoneFeatures f = std::max_element(segments.begin(), segments.end(), [](const Segment& a, const Segment& b) {
                          return visibility(a.features) < visibility(b.features);
                      })->features;
    for (std::size_t i = 1; i < segments.size(); ++i) {
        const PhoneFeatures& before = segments[i - 1].features;
        if (before.manner == M::Stop && segments[i].features.manner == M::Fricative)
            f.manner = M::Affricate;
        f.syllabic = f.syllabic || segments[i].features.syllabic;
    }
    f.syllabic = f.syllabic || segments.front().features.syllabic;
    return f;
}

void logUnknown(char32_t c, QByteArrayView phone)
{
    static std::mutex mutex;
    static std::set<char32_t> logged;
    const std::lock_guard lock(mutex);
    if (logged.insert(c).second)
        qCWarning(lcPhones).noquote() << QStringLiteral("phone \"%1\": U+%2 is not in the IPA chart; shown by its nearest class")
                                             .arg(QString::fromUtf8(phone))
                                             .arg(uint(c), 4, 16, QLatin1Char('0'));
}

// A symbol not in the chart, by its base letter without accents, or in lower case.
std::optional<Segment> nearestSegment(char32_t c)
{
    const QString decomposed = QString::fromUcs4(&c, 1).normalized(QString::NormalizationForm_KD);
    for (char32_t base : decomposed.toUcs4()) {
        if (auto s = segmentOf(base))
            return s;
        if (auto s = segmentOf(char32_t(QChar::toLower(base))))
            return s;
    }
    return std::nullopt;
}

// A phone written only as a small letter is the sound that letter is the
// small form of: eSpeak NG writes the glide between a Russian or Bulgarian
// palatalised consonant and its vowel as a phone "ʲ" of its own, a j.
std::vector<Segment> smallLetters(QByteArrayView phone)
{
    std::vector<Segment> segments;
    for (char32_t c : QString::fromUtf8(phone).toUcs4()) {
        if (c < 0x80)
            continue;
        const auto letter = QString::fromUcs4(&c, 1).normalized(QString::NormalizationForm_KD).toUcs4();
        if (letter.size() == 1 && letter.front() != c)
            if (auto s = segmentOf(letter.front()))
                segments.push_back(*s);
    }
    return segments;
}

struct Reader {
    QByteArrayView phone;
    std::vector<Segment> segments;
    bool known = true;

    void read(char32_t c)
    {
        if (auto segment = segmentOf(c)) {
            segments.push_back(*segment);
        } else if (const auto mark = diacriticOf(c)) {
            if (!segments.empty())
                apply(*mark, segments.back());
        } else if (passedOver(c)) {
            return;
        } else if (const auto parts = QString::fromUcs4(&c, 1).normalized(QString::NormalizationForm_D).toUcs4();
                   parts.size() > 1) {
            // A precomposed letter ("ä", "ẽ"): its base and its marks.
            for (char32_t part : parts)
                read(part);
        } else {
            known = false;
            logUnknown(c, phone);
            if (auto nearest = nearestSegment(c))
                segments.push_back(*nearest);
        }
    }
};

}  // namespace

PhoneFeatures ipaFeatures(QByteArrayView utf8)
{
    Reader reader{utf8, {}, true};
    // eSpeak NG names a change of language "(en)" where a phone would be.
    if (!utf8.startsWith('('))
        for (char32_t c : QString::fromUtf8(utf8).toUcs4())
            reader.read(c);
    if (reader.segments.empty() && reader.known)
        reader.segments = smallLetters(utf8);
    const std::vector<Segment>& segments = reader.segments;
    const bool known = reader.known;
    if (segments.empty()) {
        PhoneFeatures f;
        if (!known) {
            // Nothing to go by: a vowel keeps the mouth open, which a consonant can afford.
            f.kind = PhoneKind::Vowel;
            f.height = H::Mid;
            f.backness = B::Central;
        }
        f.known = known;
        return f;
    }
    PhoneFeatures f = combined(segments);
    f.known = known;
    return f;
}

}  // namespace vizmo::speech
