#include "FnZidurad.h"

#include "AppException.h"
#include "ErrorReport.h"
#include "IniReader.h"
#include "Ui.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
QString readerError(const std::exception& e)
{
    if (auto* app = dynamic_cast<const AppException*>(&e))
        return ErrorReport::ErrorText(*app);
    return ErrorReport::ErrorText(7, QString::fromLocal8Bit(e.what()));
}
} // namespace

namespace FnZidurad {

QString FileNameOfPath(const QString& path)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        const QChar c = path[i];
        if (c == u'/' || c == u'\\' || c == u':')
            return path.mid(i + 1);
    }
    return path;
}

QString WithBackslash(const QString& folder)
{
    if (folder.endsWith(u'/') || folder.endsWith(u'\\'))
        return folder;
    return folder + u'/';
}

QString RealFileName(const QString& folder, const QString& name)
{
    if (name.isEmpty() || name.contains(u'/'))
        return QString();
    QString dirPath = folder;
    dirPath.replace(u'\\', u'/');
    if (dirPath.isEmpty())
        dirPath = QStringLiteral("/");
    const QDir dir(dirPath);
    // Cheap path first: the name as given.
    const QFileInfo exact(dir.filePath(name));
    if (exact.exists() && exact.isFile())
        return name;
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0 && QFileInfo(dir.filePath(entry)).isFile())
            return entry;
    return QString();
}

QString RealFilePath(const QString& folder, const QString& name)
{
    const QString real = RealFileName(folder, name);
    return real.isEmpty() ? QString() : WithBackslash(folder) + real;
}

bool FileExists(const QString& folder, const QString& name)
{
    return !RealFileName(folder, name).isEmpty();
}

bool FolderIsWritable(const QString& folder)
{
    const QString path = WithBackslash(folder) + QStringLiteral("test.tst");
    QFile f(path);
    if (!f.open(QIODevice::Append))
        return false;
    f.close();
    return QFile::remove(path);
}

QString LireIniString(const QString& file, const QString& section, const QString& key,
                      const QString& defaultValue, Ui* ui)
{
    try {
        return IniReader::trim(IniReader::readString(file, section, key, defaultValue, 255));
    } catch (const std::exception& e) {
        if (ui)
            ui->message(readerError(e), QStringLiteral("LireIniString"));
        return QString();
    }
}

qint16 LireIniInteger(const QString& file, const QString& section, const QString& key,
                      qint16 defaultValue, Ui* ui)
{
    try {
        return static_cast<qint16>(
            static_cast<quint16>(IniReader::readInteger(file, section, key, defaultValue)));
    } catch (const std::exception& e) {
        if (ui)
            ui->message(readerError(e), QStringLiteral("LireIniInteger"));
        return 0;
    }
}

QString ApplicationFolder()
{
    QString folder = qEnvironmentVariable("AUTOMAT_HOME").trimmed();
    if (folder.isEmpty()) {
        if (QCoreApplication::instance())
            folder = QCoreApplication::applicationDirPath();
        else
            folder = QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
    }
    while (folder.size() > 1 && (folder.endsWith(u'/') || folder.endsWith(u'\\')))
        folder.chop(1);
    return folder;
}

QString AppFolder()
{
    return WithBackslash(ApplicationFolder());
}

} // namespace FnZidurad
