#include "IniReader.h"

#include "Windows1252.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <optional>

namespace {

// Windows trims blanks and tabs only: a no-break space or other Unicode space in a
// value (a scrambled password, say) is part of it.
QString trimBlanks(const QString& s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && (s[b] == u' ' || s[b] == u'\t'))
        ++b;
    while (e > b && (s[e - 1] == u' ' || s[e - 1] == u'\t'))
        --e;
    return s.mid(b, e - b);
}

struct Found {
    bool keyFound = false;
    std::optional<QString> value; // no value for a key written without "="
};

QString stripQuotes(const QString& v)
{
    if (v.size() > 1) {
        const QChar q = v.front();
        if ((q == u'"' || q == u'\'') && v.back() == q)
            return v.mid(1, v.size() - 2);
    }
    return v;
}

Found lookup(const QString& text, const QString& section, const QString& key)
{
    const QString wantedSection = trimBlanks(section);
    const QString wantedKey = trimBlanks(key);
    bool inWanted = false;
    qsizetype pos = 0;
    const qsizetype n = text.size();
    while (pos < n) {
        qsizetype end = pos;
        while (end < n && text[end] != u'\n' && text[end] != u'\r')
            ++end;
        const QString line = trimBlanks(text.mid(pos, end - pos));
        pos = end + 1;
        if (end + 1 < n && text[end] == u'\r' && text[end + 1] == u'\n')
            ++pos;
        if (line.isEmpty() || line.front() == u';')
            continue;
        if (line.front() == u'[') {
            const qsizetype close = line.lastIndexOf(u']');
            if (close < 0)
                continue; // not a section header
            if (inWanted)
                return {}; // only the first section of that name is searched
            const QString name = trimBlanks(line.mid(1, close - 1));
            inWanted = name.compare(wantedSection, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inWanted)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        const QString name = trimBlanks(eq < 0 ? line : line.left(eq));
        if (name.compare(wantedKey, Qt::CaseInsensitive) != 0)
            continue;
        Found f;
        f.keyFound = true;
        if (eq >= 0)
            f.value = trimBlanks(line.mid(eq + 1));
        return f;
    }
    return {};
}

QString loadFile(const QString& file, bool* exists)
{
    QFileInfo info(file);
    *exists = info.exists() && info.isFile();
    if (!*exists)
        return QString();
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        // As on Windows, a file that cannot be read gives the defaults.
        *exists = false;
        return QString();
    }
    return IniReader::decodeFile(f.readAll());
}

} // namespace

namespace IniReader {

QString trim(const QString& text)
{
    return trimBlanks(text);
}

QString decodeFile(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE")) {
        QStringDecoder d(QStringDecoder::Utf16LE);
        return d(bytes.mid(2));
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString asUtf8 = utf8(bytes);
    if (!utf8.hasError())
        return asUtf8;
    return Windows1252::decode(bytes);
}

QString readString(const QString& file, const QString& section, const QString& key,
                   const QString& defaultValue, int bufferSize)
{
    bool exists = false;
    const QString text = loadFile(file, &exists);
    QString value = trimBlanks(defaultValue);
    if (exists) {
        const Found f = lookup(text, section, key);
        if (f.keyFound && f.value)
            value = *f.value;
    }
    value = stripQuotes(value);
    const int room = qMax(0, bufferSize - 1);
    if (value.size() > room)
        value.truncate(room);
    return value;
}

quint32 readInteger(const QString& file, const QString& section, const QString& key,
                    qint32 defaultValue)
{
    const QString text = readString(file, section, key, QString(), 30);
    if (text.isEmpty())
        return static_cast<quint32>(defaultValue);
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    quint32 value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = value * 10u + static_cast<quint32>(text[i].unicode() - u'0');
    return negative ? 0u - value : value;
}

} // namespace IniReader
