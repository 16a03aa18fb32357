#pragma once
// The "File not found" message for a path that does not exist. Paths are
// text in UTF-8; a file whose name on disk is not valid UTF-8 cannot be named
// by them, and a path copied from a listing of it holds replacement
// characters instead. The message then says so, instead of leaving the user
// to wonder why a file that is plainly there is "not found".

#include <QString>

namespace vizmo::player {

QString fileNotFoundMessage(const QString& path);

}  // namespace vizmo::player
