#include "Crypte.h"

#include "Windows1252.h"

namespace Crypte {

QString Crypte(const QString& text, const QString& key)
{
    if (key.isEmpty())
        return text;
    const QByteArray k = Windows1252::encode(key);
    const QByteArray t = Windows1252::encode(text);
    QString out;
    out.reserve(t.size());
    int p = 0;
    for (char ch : t) {
        p = p + 1 > k.size() ? 1 : p + 1;
        int c = static_cast<unsigned char>(ch) - static_cast<unsigned char>(k[p - 1]);
        if (c < 0)
            c += 255;
        out.append(Windows1252::toUnicode(static_cast<unsigned char>(c)));
    }
    return out;
}

QString Scramble(const QString& plain, const QString& key)
{
    if (key.isEmpty())
        return plain;
    const QByteArray k = Windows1252::encode(key);
    const QByteArray t = Windows1252::encode(plain);
    QString out;
    int p = 0;
    for (char ch : t) {
        p = p + 1 > k.size() ? 1 : p + 1;
        int c = static_cast<unsigned char>(ch) + static_cast<unsigned char>(k[p - 1]);
        if (c >= 255)
            c -= 255;
        out.append(Windows1252::toUnicode(static_cast<unsigned char>(c)));
    }
    return out;
}

} // namespace Crypte
