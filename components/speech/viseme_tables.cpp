#include "components/speech/viseme_tables.h"

#include "components/player_control.h"

#include <array>
#include <utility>

namespace vizmo::speech {

namespace v = player::viseme;

namespace {

constexpr std::array<const char*, v::Count> kNames = {"sil", "PP", "FF", "TH", "DD", "kk", "CH", "SS",
                                                       "nn",  "RR", "aa", "E",  "ih", "oh", "ou"};

// Two-letter eSpeak phonemes whose first letter alone would mislead.
constexpr std::array<std::pair<const char*, int>, 8> kEspeakPairs = {{
    {"tS", v::CH}, {"dZ", v::CH}, {"ts", v::SS}, {"dz", v::SS},
    {"oU", v::oh}, {"aU", v::aa}, {"aI", v::aa}, {"OI", v::oh},
}};

// Flite's US English phone set, with the rounded ones below. "er" is a vowel, shaped
// as eSpeak NG's "3" is.
constexpr std::array<std::pair<const char*, int>, 41> kFlitePhones = {{
    {"pau", v::Silence}, {"h#", v::Silence}, {"p", v::PP},  {"b", v::PP},   {"m", v::PP},   {"em", v::PP},
    {"f", v::FF},        {"v", v::FF},       {"th", v::TH}, {"dh", v::TH},  {"t", v::DD},   {"d", v::DD},
    {"dx", v::DD},       {"k", v::kk},       {"g", v::kk},  {"ng", v::kk},  {"ch", v::CH},  {"jh", v::CH},
    {"sh", v::CH},       {"zh", v::CH},      {"s", v::SS},  {"z", v::SS},   {"n", v::nn},   {"en", v::nn},
    {"l", v::nn},        {"el", v::nn},      {"r", v::RR},  {"er", v::E},  {"aa", v::aa},  {"ae", v::aa},
    {"ah", v::aa},       {"ay", v::aa},      {"aw", v::aa}, {"eh", v::E},   {"ey", v::E},   {"ax", v::E},
    {"hh", v::E},        {"ih", v::ih},      {"iy", v::ih}, {"y", v::ih},   {"ao", v::oh},
}};
constexpr std::array<std::pair<const char*, int>, 5> kFliteRounded = {{
    {"ow", v::oh}, {"oy", v::oh}, {"uw", v::ou}, {"uh", v::ou}, {"w", v::ou},
}};

int espeakByFirstLetter(char c)
{
    switch (c) {
    case 'p': case 'b': case 'm': return v::PP;
    case 'f': case 'v': case 'B': return v::FF;
    case 'T': case 'D': return v::TH;
    case 't': case 'd': return v::DD;
    case 'k': case 'g': case 'x': case 'q': case 'c': case 'G': case 'Q': case 'X': return v::kk;
    case 'S': case 'Z': return v::CH;
    case 's': case 'z': case 'C': return v::SS;
    case 'n': case 'N': case 'l': case 'L': case 'J': return v::nn;
    case 'r': case 'R': return v::RR;
    case 'a': case 'A': case 'V': case '&': return v::aa;
    case 'e': case 'E': case '@': case '3': case 'h': return v::E;
    case 'i': case 'I': case 'j': case 'y': case 'Y': return v::ih;
    case 'o': case 'O': case '0': return v::oh;
    case 'u': case 'U': case 'w': case 'W': return v::ou;
    default: return v::Silence;  // pauses "_", "_:", stress and length marks
    }
}

}  // namespace

int espeakPhoneViseme(QByteArrayView phone)
{
    if (phone.isEmpty())
        return v::Silence;
    for (const auto& [name, viseme] : kEspeakPairs) {
        if (phone.startsWith(QByteArrayView(name)))
            return viseme;
    }
    return espeakByFirstLetter(phone.front());
}

int flitePhoneViseme(QByteArrayView phone)
{
    for (const auto& [name, viseme] : kFlitePhones) {
        if (phone == QByteArrayView(name))
            return viseme;
    }
    for (const auto& [name, viseme] : kFliteRounded) {
        if (phone == QByteArrayView(name))
            return viseme;
    }
    return v::Silence;
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
