#include "ZipFile.h"

#include "FnZidurad.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <zlib.h>

namespace {
void put16(QByteArray& b, quint16 v)
{
    b.append(char(v & 0xff));
    b.append(char(v >> 8));
}
void put32(QByteArray& b, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xff));
}
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

QByteArray ZipFile::localHeader() const
{
    const QByteArray name = encodedName();
    QByteArray h;
    put32(h, 0x04034B50);
    put16(h, 20);
    put16(h, isAscii(FileName) ? 2 : 0x802); // bit 11: the name is UTF-8
    put16(h, 8);
    put16(h, m_time);
    put16(h, m_date);
    put32(h, m_crc);
    put32(h, quint32(m_data.size()));
    put32(h, m_uncompressed);
    put16(h, quint16(name.size()));
    put16(h, 0);
    h.append(name);
    return h;
}

QByteArray ZipFile::centralHeader(quint32 localOffset) const
{
    const QByteArray name = encodedName();
    const QByteArray comment = Comment.toUtf8().left(0xFFFF);
    QByteArray h;
    put32(h, 0x02014B50);
    put16(h, 20);
    put16(h, 20);
    put16(h, isAscii(FileName) && isAscii(Comment) ? 2 : 0x802);
    put16(h, 8);
    put16(h, m_time);
    put16(h, m_date);
    put32(h, m_crc);
    put32(h, quint32(m_data.size()));
    put32(h, m_uncompressed);
    put16(h, quint16(name.size()));
    put16(h, 0);
    put16(h, quint16(comment.size()));
    put16(h, 0);
    put16(h, 0);
    put32(h, 32);
    put32(h, localOffset);
    h.append(name);
    h.append(comment);
    return h;
}
