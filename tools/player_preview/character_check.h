#pragma once
// The character check: what the player finds in a drawn character, in the
// manner of a compiler's notes (`mira.svg:12: found: layer "head": ...`), and
// how its frame at rest compares with rsvg-convert's picture of the file.

#include <QString>

namespace vizmo::tools {

// Prints the report of MODEL (a .qvm naming a drawing, or the drawing
// itself) to standard output; 0 when the player takes the character, 1 with
// the error when it refuses it.
int checkCharacter(const QString& model);

// Draws MODEL at rest at `side` pixels as the player does, and the same file
// with rsvg-convert (the mouths not shown at rest and the lids, which are
// open, left out), and prints the share of pixels that differ by more than
// 48 levels in a channel. With `saveTo`, keeps both pictures and their
// difference there. 0 when it could compare, 1 otherwise.
int compareAtRest(const QString& model, int side, const QString& saveTo);

}  // namespace vizmo::tools
