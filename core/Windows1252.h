#pragma once

#include <QByteArray>
#include <QString>

// Single-byte Windows ANSI code page, as the original workstation used it: for reading
// configuration files written on Windows and for the byte arithmetic of Crypte.
namespace Windows1252 {

QChar toUnicode(unsigned char byte);
// Byte of a character, or -1 when the code page has no such character.
int fromUnicode(QChar ch);
QString decode(const QByteArray& bytes);
QByteArray encode(const QString& text, char replacement = '?');

} // namespace Windows1252
