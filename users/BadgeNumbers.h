#pragma once

#include <QString>

// EAN-13 badge numbers: the check digit and the text printed with a barcode font.
namespace BadgeNumbers {

// The text followed by its EAN-13 check digit; non-digits and missing positions count 0.
QString CalculChecksumEAN13(const QString& Chaine);
// The 15-character barcode-font text of the completed 13-digit code; the empty text
// for more than 12 characters or any character other than "0" to "9".
QString EAN13(const QString& Chaine);
// The 12 digits completed on their right with "0" and followed by the check digit;
// the empty text when EAN13 would refuse the argument.
QString CompletedEAN13(const QString& Chaine);

} // namespace BadgeNumbers
