#pragma once

#include <QString>

// Unscrambles a text with an eight-letter key: each character's Windows-1252 code less
// the key letter's code, with 255 added when the result is negative.
namespace Crypte {

QString Crypte(const QString& text, const QString& key);
// The inverse, used to prepare a scrambled text for the protected settings file.
QString Scramble(const QString& plain, const QString& key);

} // namespace Crypte
