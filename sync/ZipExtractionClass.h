#pragma once

#include <QByteArray>
#include <QFile>
#include <QObject>
#include <memory>

// Reads a zip archive (single volume, stored or deflated entries) and extracts its
// entries into a folder. Progress, status and errors are signals; a receiver may set
// *cancel in progress to stop the extraction.
class ZipExtractionClass : public QObject {
    Q_OBJECT
public:
    explicit ZipExtractionClass(QObject* parent = nullptr);
    ~ZipExtractionClass() override;

    bool OpenZip(const QString& ZipPath);
    bool Extract(const QString& FolderPath, bool PreservePath, bool Overwrite);
    void CloseZip();
    QString ZLibVersion();

    // Errors beyond the classic ones: a damaged entry, a name that would leave the folder.
    static constexpr int DamagedEntry = 6;
    static constexpr int UnsafeName = 14;

Q_SIGNALS:
    void progress(int Percent, bool* Cancel);
    void status(const QString& Text);
    void error(int Number, const QString& Description);

private:
    struct Entry;
    void extractEntry(const Entry& e, const QString& target, const QString& shownName);
    const uchar* data() const { return m_data; }

    std::unique_ptr<QFile> m_file;
    QByteArray m_buffer; // when the file cannot be mapped
    const uchar* m_data = nullptr;
    qint64 m_size = 0;
    qint64 m_endRecord = 0;
    QString m_path;
};
