#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// One entry of an archive being written: its header fields and its deflated bytes,
// compressed when the entry is made.
class ZipFile {
public:
    // Reads and compresses the source file; isValid() is false when it cannot be read.
    explicit ZipFile(const QString& sourcePath);

    bool isValid() const { return m_valid; }

    QString FileName;
    QString Comment;

    quint16 dosTime() const { return m_time; }
    quint16 dosDate() const { return m_date; }
    quint32 crc() const { return m_crc; }
    quint32 uncompressedSize() const { return m_uncompressed; }
    const QByteArray& data() const { return m_data; }

    // The MS-DOS packing of the zip format.
    static quint16 DosDate(const QDate& d);
    static quint16 DosTime(const QTime& t);

    QByteArray localHeader() const;
    QByteArray centralHeader(quint32 localOffset) const;

private:
    QByteArray encodedName() const;
    void appendCommon(QByteArray& h, bool asciiTexts) const;
    bool m_valid = false;
    quint16 m_time = 0;
    quint16 m_date = 0;
    quint32 m_crc = 0;
    quint32 m_uncompressed = 0;
    QByteArray m_data;
};
