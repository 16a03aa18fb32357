#pragma once
// The figures of a face that moves: the frames of the speaking passage
// (speaking_passage.h) at 256, 512 and 1024 pixels, median and 90th
// percentile, and the program's share of a core while the player speaks in
// its window at 30 and 60 frames per second. Each figure is measured in a
// process of its own, this program's and, given a reference build of it
// (build_reference.sh), the reference's in turn, round after round, so a
// machine whose load drifts weighs on both alike.

#include <QString>
#include <QStringList>

#include <optional>

namespace vizmo::bench {

// The processes' side: print one line of figures for `model` and return 0.
// `--moving SIDE`: each frame's time of the passage, in ms.
int printMovingFrames(const QString& model, int side);
// `--speaking FPS SIDE SECONDS`: the share of a core and the frames painted a second.
int printSpeakingShare(const QString& model, int fps, int side, double seconds);
// The process's exit status when `arguments` (the program's, its name
// first) ask for one of the two; nothing when they do not.
std::optional<int> runMovingRound(const QStringList& arguments);

// Runs the rounds and prints the table: `models` measured by `self`, and
// the first of them by `reference` too when it is not empty.
void compareMovingFigures(const QString& self, const QString& reference, const QStringList& models, int rounds);

}  // namespace vizmo::bench
