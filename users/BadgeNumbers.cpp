#include "BadgeNumbers.h"

namespace {
int digitAt(const QString& text, int position)
{
    if (position > text.size())
        return 0;
    const QChar c = text[position - 1];
    return (c >= u'0' && c <= u'9') ? c.unicode() - u'0' : 0;
}

// For d3 to d7: the first digits for which the digit is written in set A.
constexpr const char* kSetA[5] = {"0123", "0478", "01459", "02567", "03689"};
} // namespace

namespace BadgeNumbers {

QString CalculChecksumEAN13(const QString& Chaine)
{
    int sum = 0;
    for (int p = 2; p <= 12; p += 2)
        sum += digitAt(Chaine, p);
    sum *= 3;
    for (int p = 1; p <= 11; p += 2)
        sum += digitAt(Chaine, p);
    return Chaine + QChar(u'0' + (10 - sum % 10) % 10);
}

QString CompletedEAN13(const QString& Chaine)
{
    if (Chaine.size() > 12)
        return QString();
    const QString twelve = Chaine.leftJustified(12, u'0');
    for (QChar c : twelve)
        if (c < u'0' || c > u'9')
            return QString();
    return CalculChecksumEAN13(twelve);
}

QString EAN13(const QString& Chaine)
{
    const QString code = CompletedEAN13(Chaine);
    if (code.isEmpty())
        return QString();
    const auto d = [&](int i) { return code[i - 1].unicode() - u'0'; };
    const char first = static_cast<char>('0' + d(1));
    QString out;
    out.append(code[0]);
    out.append(QChar(65 + d(2)));
    for (int i = 3; i <= 7; ++i) {
        const bool setA = QByteArray(kSetA[i - 3]).contains(first);
        out.append(QChar((setA ? 65 : 75) + d(i)));
    }
    out.append(u'*');
    for (int i = 8; i <= 13; ++i)
        out.append(QChar(97 + d(i)));
    out.append(u'+');
    return out;
}

} // namespace BadgeNumbers
