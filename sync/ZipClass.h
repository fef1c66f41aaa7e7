#pragma once

#include "ZipFile.h"

#include <QList>

// Collects files and writes them as a new zip archive.
class ZipClass {
public:
    // No when the source does not exist; otherwise the entry is compressed at once.
    bool AddFile(const QString& FilePath, const QString& FileName = QString(), const QString& Comment = QString());
    // Without Overwrite an existing file is kept and the answer is no. The archive is
    // written to a temporary file and renamed over the target at the end.
    bool WriteZip(const QString& FilePath, bool Overwrite);

    int FileCount() const { return int(m_files.size()); }
    void setComment(const QString& comment) { m_comment = comment; }

private:
    QList<ZipFile> m_files;
    QString m_comment;
};
