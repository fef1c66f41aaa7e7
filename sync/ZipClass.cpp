#include "ZipClass.h"

#include "LittleEndian.h"

#include <QFileInfo>
#include <QSaveFile>

using LittleEndian::append16;
using LittleEndian::append32;

bool ZipClass::AddFile(const QString& FilePath, const QString& FileName, const QString& Comment)
{
    if (!QFileInfo(FilePath).isFile())
        return false;
    ZipFile entry(FilePath);
    if (!entry.isValid())
        return false;
    if (!FileName.isEmpty())
        entry.FileName = FileName;
    if (!Comment.isEmpty())
        entry.Comment = Comment;
    m_files.append(entry);
    return true;
}

bool ZipClass::WriteZip(const QString& FilePath, bool Overwrite)
{
    if (QFileInfo::exists(FilePath) && !Overwrite)
        return false;
    if (m_files.size() > 0xFFFF)
        return false; // no zip64
    QSaveFile out(FilePath);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    QList<quint32> offsets;
    qint64 written = 0;
    for (const ZipFile& f : std::as_const(m_files)) {
        if (written > 0xFFFFFFFFLL)
            return false;
        offsets << quint32(written);
        const QByteArray h = f.localHeader();
        out.write(h);
        out.write(f.data());
        written += h.size() + f.data().size();
    }
    const qint64 cdStart = written;
    for (int i = 0; i < m_files.size(); ++i) {
        const QByteArray h = m_files[i].centralHeader(offsets[i]);
        out.write(h);
        written += h.size();
    }
    const QByteArray comment = m_comment.toUtf8().left(0xFFFF);
    QByteArray end;
    append32(end, 0x06054B50);
    append16(end, 0);
    append16(end, 0);
    append16(end, quint16(m_files.size()));
    append16(end, quint16(m_files.size()));
    append32(end, quint32(written - cdStart));
    append32(end, quint32(cdStart));
    append16(end, quint16(comment.size()));
    end.append(comment);
    out.write(end);
    return out.commit();
}
