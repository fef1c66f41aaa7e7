// libFuzzer target for the zip reader: every input is written as an archive, opened
// and extracted (paths kept, files replaced) into a scratch folder.
#include "ZipExtractionClass.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_zip";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static QTemporaryDir scratch;

    const QString archive = scratch.filePath(QStringLiteral("entree.zip"));
    {
        QFile f(archive);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    const QString out = scratch.filePath(QStringLiteral("sortie/dedans"));
    ZipExtractionClass zip;
    if (zip.OpenZip(archive))
        zip.Extract(out, true, true);
    zip.CloseZip();
    // Nothing may land beside the target folder.
    const QStringList beside = QDir(scratch.filePath(QStringLiteral("sortie"))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    if (beside.size() > 1 || (beside.size() == 1 && beside.first() != QLatin1String("dedans")))
        __builtin_trap();
    QDir(scratch.filePath(QStringLiteral("sortie"))).removeRecursively();
    return 0;
}
