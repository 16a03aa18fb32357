#pragma once
// Phones of each engine to the player's mouth shapes (player::viseme order:
// sil PP FF TH DD kk CH SS nn RR aa E ih oh ou). The tables are documented in
// docs/speech-component.md.

#include <QByteArrayView>
#include <QString>

namespace vizmo::speech {

// eSpeak NG phoneme mnemonics ("p", "tS", "aI", "3:", "_:" ...), any language.
int espeakPhoneViseme(QByteArrayView phone);
// Flite's ARPAbet phones in lower case ("p", "ch", "ay", "pau").
int flitePhoneViseme(QByteArrayView phone);

// "sil", "PP" ... "ou" and back; -1 for an unknown name.
QString visemeName(int viseme);
int visemeFromName(const QString& name);

}  // namespace vizmo::speech
