#pragma once

#include <QString>

// Reads one key of a Windows-style initialisation file with the rules of the Windows
// reader: sections and keys ignore case, the first matching section and key win,
// lines starting with ";" are comments, a value in matching quotes loses them, a key
// without "=" has no value, and the answer is cut to the caller's buffer. Files in
// UTF-8 (with or without BOM), UTF-16 LE with BOM and Windows-1252 are read.
namespace IniReader {

// The value, or defaultValue when the file, the section or the key is missing.
// bufferSize counts the terminating NUL as on Windows: at most bufferSize - 1
// characters come back. A file that cannot be read counts as missing.
QString readString(const QString& file, const QString& section, const QString& key,
                   const QString& defaultValue, int bufferSize);

// GetPrivateProfileInt: leading blanks, an optional sign, decimal digits up to the
// first other character; 32-bit wrap; defaultValue for a missing or empty value.
quint32 readInteger(const QString& file, const QString& section, const QString& key,
                    qint32 defaultValue);

// Blanks and tabs off both ends, as the Windows reader and VB's Trim do.
QString trim(const QString& text);

// Decodes a configuration file's bytes (exposed for tests).
QString decodeFile(const QByteArray& bytes);

} // namespace IniReader
