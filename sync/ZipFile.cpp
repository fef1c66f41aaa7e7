#include "ZipFile.h"

#include "FnZidurad.h"
#include "LittleEndian.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <zlib.h>

namespace {
using LittleEndian::append16;
using LittleEndian::append32;
bool isAscii(const QString& s)
{
    for (QChar c : s)
        if (c.unicode() > 127)
            return false;
    return true;
}
} // namespace

quint16 ZipFile::DosDate(const QDate& d)
{
    return quint16((d.year() - 1980) * 512 + d.month() * 32 + d.day());
}

quint16 ZipFile::DosTime(const QTime& t)
{
    return quint16(t.hour() * 2048 + t.minute() * 32 + t.second() / 2);
}

ZipFile::ZipFile(const QString& sourcePath)
{
    QFile f(sourcePath);
    if (!f.open(QIODevice::ReadOnly))
        return;
    const QDateTime modified = QFileInfo(f).lastModified();
    m_date = DosDate(modified.date());
    m_time = DosTime(modified.time());
    FileName = FnZidurad::FileNameOfPath(sourcePath);
    const QByteArray bytes = f.readAll();
    if (bytes.size() > 0xFFFFFFFFLL)
        return; // no zip64
    m_uncompressed = quint32(bytes.size());
    m_crc = quint32(crc32(0L, reinterpret_cast<const Bytef*>(bytes.constData()), uInt(bytes.size())));
    uLongf length = compressBound(uLong(bytes.size()));
    QByteArray out(qsizetype(length), Qt::Uninitialized);
    if (compress(reinterpret_cast<Bytef*>(out.data()), &length, reinterpret_cast<const Bytef*>(bytes.constData()),
                 uLong(bytes.size())) != Z_OK)
        return;
    // The raw deflate data: without the zlib header (2 bytes) and its Adler-32 (4 bytes).
    m_data = out.mid(2, qsizetype(length) - 6);
    m_valid = true;
}

QByteArray ZipFile::encodedName() const
{
    return FileName.toUtf8().left(0xFFFF);
}

// The fields both headers share, from the flags to the uncompressed size.
void ZipFile::appendCommon(QByteArray& h, bool asciiTexts) const
{
    append16(h, asciiTexts ? 2 : 0x802); // bit 11: the texts are UTF-8
    append16(h, 8);
    append16(h, m_time);
    append16(h, m_date);
    append32(h, m_crc);
    append32(h, quint32(m_data.size()));
    append32(h, m_uncompressed);
}

QByteArray ZipFile::localHeader() const
{
    const QByteArray name = encodedName();
    QByteArray h;
    append32(h, 0x04034B50);
    append16(h, 20);
    appendCommon(h, isAscii(FileName));
    append16(h, quint16(name.size()));
    append16(h, 0);
    h.append(name);
    return h;
}

QByteArray ZipFile::centralHeader(quint32 localOffset) const
{
    const QByteArray name = encodedName();
    const QByteArray comment = Comment.toUtf8().left(0xFFFF);
    QByteArray h;
    append32(h, 0x02014B50);
    append16(h, 20);
    append16(h, 20);
    appendCommon(h, isAscii(FileName) && isAscii(Comment));
    append16(h, quint16(name.size()));
    append16(h, 0);
    append16(h, quint16(comment.size()));
    append16(h, 0);
    append16(h, 0);
    append32(h, 32);
    append32(h, localOffset);
    h.append(name);
    h.append(comment);
    return h;
}
