#pragma once
// What an image file's own header says, read before a decoder is trusted with
// it. The decoders take some of these fields at their word and allocate for
// them before reading a byte of the data they describe.

#include <QByteArray>
#include <QSize>
#include <QString>

namespace vizmo::player {

// A GIF is decoded at the size of its logical screen, which Qt's reader does
// not report: it gives the first frame's size. Empty for any other format.
QSize gifScreenSize(const QString& path, const QByteArray& format);

// For a PNG, what is wrong with its chunk lengths: empty when every chunk up
// to IEND fits in the file. libpng allocates a text chunk's whole claimed
// length (up to 2 GB) before it finds the file is a few bytes long.
QString pngChunkFault(const QString& path);

}  // namespace vizmo::player
