#pragma once

#include <QByteArray>

// Appends numbers in the little-endian order of the zip and BIFF formats.
namespace LittleEndian {

inline void append8(QByteArray& b, quint8 v)
{
    b.append(char(v));
}

inline void append16(QByteArray& b, quint16 v)
{
    b.append(char(v & 0xff));
    b.append(char(v >> 8));
}

inline void append32(QByteArray& b, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xff));
}

} // namespace LittleEndian
