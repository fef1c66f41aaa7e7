#include "ZipExtractionClass.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include "Windows1252.h"
#include <cmath>
#include <zlib.h>

namespace {

quint16 u16(const uchar* p)
{
    return quint16(p[0] | (p[1] << 8));
}
quint32 u32(const uchar* p)
{
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

// A name that would write outside the target folder: "..", an absolute path, a drive.
bool unsafeName(const QString& name)
{
    if (name.contains(QChar(0)))
        return true;
    if (name.startsWith(u'\\') || name.startsWith(u'/'))
        return true;
    if (name.size() >= 2 && name[1] == u':')
        return true;
    for (const QString& part : name.split(u'\\'))
        if (part == QLatin1String(".."))
            return true;
    return false;
}

// Deflate cannot expand data more than about 1032 to 1.
constexpr qint64 kMaxRatio = 1100;

} // namespace

struct ZipExtractionClass::Entry {
    quint16 method;
    quint32 crc;
    quint32 compressed;
    quint32 uncompressed;
    quint32 localOffset;
    QString name;
};

ZipExtractionClass::ZipExtractionClass(QObject* parent) : QObject(parent) {}

ZipExtractionClass::~ZipExtractionClass()
{
    // Closed without the status signal: its receivers may be gone already.
    blockSignals(true);
    CloseZip();
}

QString ZipExtractionClass::ZLibVersion()
{
    const char* v = zlibVersion();
    if (!v) {
        Q_EMIT error(1, QStringLiteral("Zlib is not installed"));
        return QString();
    }
    return QString::fromLatin1(v);
}

bool ZipExtractionClass::OpenZip(const QString& ZipPath)
{
    Q_EMIT status(QStringLiteral("Opening Zip"));
    CloseZip();
    const QFileInfo info(ZipPath);
    if (!info.exists() || !info.isFile()) {
        Q_EMIT error(10, QStringLiteral("The file ") + ZipPath + QStringLiteral(" doesn't exist"));
        return false;
    }
    auto file = std::make_unique<QFile>(ZipPath);
    if (!file->open(QIODevice::ReadOnly)) {
        Q_EMIT error(10, QStringLiteral("The file ") + ZipPath + QStringLiteral(" doesn't exist"));
        return false;
    }
    m_size = file->size();
    m_data = m_size > 0 ? file->map(0, m_size) : nullptr;
    if (!m_data && m_size > 0) {
        m_buffer = file->readAll();
        m_data = reinterpret_cast<const uchar*>(m_buffer.constData());
        m_size = m_buffer.size();
    }
    // The end record, searched backwards from the last four bytes.
    qint64 found = -1;
    for (qint64 pos = m_size - 4; pos >= 0; --pos)
        if (u32(m_data + pos) == 0x06054B50u) {
            found = pos;
            break;
        }
    if (found < 0 || found + 22 > m_size) {
        m_data = nullptr;
        m_buffer.clear();
        Q_EMIT error(2, QStringLiteral("The file ") + ZipPath + QStringLiteral(" is not a Zip file"));
        return false;
    }
    m_file = std::move(file);
    m_endRecord = found;
    m_path = ZipPath;
    Q_EMIT status(QStringLiteral("Zip Opened"));
    return true;
}

void ZipExtractionClass::CloseZip()
{
    if (!m_file)
        return;
    m_file->close();
    m_file.reset();
    m_buffer.clear();
    m_data = nullptr;
    m_size = 0;
    m_endRecord = 0;
    Q_EMIT status(QStringLiteral("Zip Closed"));
}

bool ZipExtractionClass::Extract(const QString& FolderPath, bool PreservePath, bool Overwrite)
{
    if (ZLibVersion().isEmpty())
        return false;
    Q_EMIT status(QStringLiteral("Extracting Files"));
    if (!m_file) {
        Q_EMIT error(3, QStringLiteral("There is no Zip File Open"));
        return false;
    }
    QString folder = FolderPath;
    while (folder.size() > 1 && (folder.endsWith(u'/') || folder.endsWith(u'\\')))
        folder.chop(1);
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder)) {
        Q_EMIT error(13, QStringLiteral("Can't create the folder ") + folder);
        return false;
    }
    const uchar* end = m_data + m_endRecord;
    if (u16(end + 4) != u16(end + 6)) {
        Q_EMIT status(QStringLiteral("Extraction Complete"));
        return false;
    }
    const quint16 total = u16(end + 10);
    const qint64 cdOffset = u32(end + 16);
    // Every central header takes at least 46 bytes before the end record.
    if (cdOffset > m_endRecord || qint64(total) * 46 > m_endRecord - cdOffset) {
        Q_EMIT error(2, QStringLiteral("The file ") + m_path + QStringLiteral(" is not a Zip file"));
        return false;
    }
    qint64 pos = cdOffset;
    for (int i = 1; i <= total; ++i) {
        if (pos + 46 > m_endRecord || u32(m_data + pos) != 0x02014B50u) {
            // A damaged directory: nothing after it can be trusted.
            Q_EMIT error(2, QStringLiteral("The file ") + m_path + QStringLiteral(" is not a Zip file"));
            return false;
        }
        const uchar* h = m_data + pos;
        Entry e;
        e.method = u16(h + 10);
        e.crc = u32(h + 16);
        e.compressed = u32(h + 20);
        e.uncompressed = u32(h + 24);
        const quint16 nameLength = u16(h + 28);
        const quint16 extraLength = u16(h + 30);
        const quint16 commentLength = u16(h + 32);
        e.localOffset = u32(h + 42);
        const qint64 next = pos + 46 + nameLength + extraLength + commentLength;
        if (next > m_endRecord) {
            Q_EMIT error(2, QStringLiteral("The file ") + m_path + QStringLiteral(" is not a Zip file"));
            return false;
        }
        const QByteArray rawName(reinterpret_cast<const char*>(h + 46), nameLength);
        if (u16(h + 8) & 0x800) {
            e.name = QString::fromUtf8(rawName);
        } else {
            // Names of archives made on Windows are in its code page; Info-ZIP writes UTF-8.
            QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            e.name = utf8(rawName);
            if (utf8.hasError())
                e.name = Windows1252::decode(rawName);
        }
        e.name.replace(u'/', u'\\');
        if (e.uncompressed > 0) {
            QString name = e.name;
            if (unsafeName(name)) {
                Q_EMIT error(UnsafeName, QStringLiteral("The entry name ") + name +
                                             QStringLiteral(" would be written outside the folder"));
            } else {
                bool ok = true;
                if (PreservePath) {
                    const QStringList parts = name.split(u'\\', Qt::SkipEmptyParts);
                    QString dir = folder;
                    for (int k = 0; k + 1 < parts.size() && ok; ++k) {
                        dir += u'/' + parts[k];
                        if (!QFileInfo(dir).isDir() && !QDir().mkdir(dir)) {
                            Q_EMIT error(13, QStringLiteral("Can't create the folder ") + dir);
                            ok = false;
                        }
                    }
                    name = parts.join(u'\\');
                } else {
                    name = name.mid(name.lastIndexOf(u'\\') + 1);
                }
                if (ok && !name.isEmpty()) {
                    Q_EMIT status(QStringLiteral("Extracting ...\\") + name);
                    const QString target = folder + u'/' + QString(name).replace(u'\\', u'/');
                    if (!QFileInfo::exists(target)) {
                        extractEntry(e, target, name);
                    } else if (Overwrite) {
                        if (!QFileInfo(target).isFile() || !QFile::remove(target))
                            Q_EMIT error(12, QStringLiteral("Can't remove the file ") + target);
                        else
                            extractEntry(e, target, name);
                    } else {
                        Q_EMIT error(11, QStringLiteral("The file ") + target + QStringLiteral(" already exists"));
                    }
                }
            }
        }
        pos = next;
        QCoreApplication::processEvents();
        bool cancel = false;
        Q_EMIT progress(int(std::lround(double(i) / total * 100.0)), &cancel);
        if (cancel)
            return false;
    }
    Q_EMIT status(QStringLiteral("Extraction Complete"));
    return true;
}

void ZipExtractionClass::extractEntry(const Entry& e, const QString& target, const QString& shownName)
{
    const auto damaged = [&](const QString& why) {
        Q_EMIT error(DamagedEntry, QStringLiteral("The entry ") + shownName + QStringLiteral(" is damaged: ") + why);
    };
    // 1. The local header must be inside the file and carry its signature.
    const qint64 local = e.localOffset;
    if (local + 30 > m_endRecord || u32(m_data + local) != 0x04034B50u)
        return;
    const uchar* h = m_data + local;
    const qint64 dataStart = local + 30 + u16(h + 26) + u16(h + 28);
    const quint32 localCrc = u32(h + 14);
    const qint64 compressed = u32(h + 18);
    if (dataStart + compressed > m_endRecord) {
        damaged(QStringLiteral("its data runs past the end of the archive"));
        return;
    }
    if (e.method != 0 && e.method != 8) {
        Q_EMIT error(4, QStringLiteral("The compression Method for ") + e.name + QStringLiteral(" is unsupported"));
        return;
    }
    // A size that the data cannot hold is a lie, not a reason to allocate.
    if ((e.method == 0 && compressed != e.uncompressed) ||
        (e.method == 8 && qint64(e.uncompressed) > compressed * kMaxRatio + 1024)) {
        damaged(QStringLiteral("its sizes do not match its data"));
        return;
    }
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) {
        Q_EMIT error(12, QStringLiteral("Can't remove the file ") + target);
        return;
    }
    uLong crc = crc32(0L, Z_NULL, 0);
    const uchar* src = m_data + dataStart;
    if (e.method == 0) {
        crc = crc32(crc, src, uInt(compressed));
        out.write(reinterpret_cast<const char*>(src), compressed);
    } else {
        z_stream zs{};
        if (inflateInit2(&zs, -MAX_WBITS) != Z_OK) {
            Q_EMIT error(1, QStringLiteral("Zlib is not installed"));
            return;
        }
        zs.next_in = const_cast<Bytef*>(src);
        zs.avail_in = uInt(compressed);
        QByteArray chunk(256 * 1024, Qt::Uninitialized);
        qint64 produced = 0;
        int rc = Z_OK;
        while (rc != Z_STREAM_END) {
            zs.next_out = reinterpret_cast<Bytef*>(chunk.data());
            zs.avail_out = uInt(chunk.size());
            rc = inflate(&zs, Z_NO_FLUSH);
            const qint64 got = chunk.size() - zs.avail_out;
            produced += got;
            if (produced > e.uncompressed) {
                rc = Z_DATA_ERROR; // more data than announced
                break;
            }
            crc = crc32(crc, reinterpret_cast<const Bytef*>(chunk.constData()), uInt(got));
            out.write(chunk.constData(), got);
            if (rc != Z_OK && rc != Z_STREAM_END)
                break;
            if (rc == Z_OK && got == 0 && zs.avail_in == 0) {
                rc = Z_DATA_ERROR; // truncated stream
                break;
            }
        }
        inflateEnd(&zs);
        if (rc != Z_STREAM_END || produced != e.uncompressed) {
            out.cancelWriting();
            Q_EMIT error(5, QStringLiteral("Data checksum error in ") + target);
            return;
        }
    }
    if (crc != localCrc) {
        out.cancelWriting();
        Q_EMIT error(5, QStringLiteral("Data checksum error in ") + target);
        return;
    }
    if (!out.commit())
        Q_EMIT error(12, QStringLiteral("Can't remove the file ") + target);
}
