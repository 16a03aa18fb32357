#pragma once
// An animation script, read from a .qvs file (docs/file-formats.md): a
// timeline of keyframes for expressions, head, eyes, shoulders and mouth, an
// optional sound file, and a fixed total length.

#include "components/player/content/load_result.h"
#include "components/player/motion/mouth_shape.h"

#include <QString>

#include <array>
#include <vector>

namespace vizmo::player {

enum class Expression { Neutral, Smile, Surprise, Sad, Angry, Blink };
inline constexpr int kExpressionCount = 6;
const std::array<QString, kExpressionCount>& expressionNames();

struct ScalarKey {
    int timeMs = 0;
    double value = 0.0;
};

struct PairKey {
    int timeMs = 0;
    double a = 0.0, b = 0.0;
};

struct TripleKey {
    int timeMs = 0;
    double x = 0.0, y = 0.0, z = 0.0;
};

struct VisemeKey {
    int timeMs = 0;
    int viseme = 0;
    double weight = 1.0;
};

// What the script asks for at one moment. Pose values are in the same units as
// SetHead, SetEye and SetShoulder (-255..255).
struct ScriptFrame {
    std::array<double, kExpressionCount> expressions{};
    double headX = 0, headY = 0, headZ = 0;
    double eyeX = 0, eyeY = 0;
    double shoulderLeft = 0, shoulderRight = 0;
    MouthShape mouth;
    bool hasMouth = false;  // false: the script leaves the mouth to the face's rest shape
};

struct Script {
    QString fileName;   // for events and menus
    QString title;
    int lengthMs = 0;   // always above 0
    QString audioPath;  // absolute, or empty

    std::array<std::vector<ScalarKey>, kExpressionCount> expressions;
    std::vector<TripleKey> head;
    std::vector<PairKey> eyes;
    std::vector<PairKey> shoulders;
    std::vector<VisemeKey> visemes;

    ScriptFrame sample(double timeMs) const;
};

LoadResult<Script> loadScript(const QString& path);
// `baseDir` resolves the audio file name; empty means the current folder.
LoadResult<Script> parseScript(const QByteArray& bytes, const QString& displayName, const QString& baseDir);

}  // namespace vizmo::player
