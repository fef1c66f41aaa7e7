// Writes and extracts a 100 MB archive of mixed files, beside Info-ZIP's zip and unzip
// on the same data, and prints the times and their ratio.
#include "ZipClass.h"
#include "ZipExtractionClass.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

namespace {
double seconds(const std::function<void()>& fn)
{
    QElapsedTimer t;
    t.start();
    fn();
    return t.nsecsElapsed() / 1e9;
}

void runOrDie(const QString& program, const QStringList& args, const QString& cwd)
{
    QProcess p;
    p.setWorkingDirectory(cwd);
    p.start(program, args);
    if (!p.waitForFinished(-1) || p.exitCode() != 0)
        qFatal("%s failed", qPrintable(program));
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    const QString src = dir.filePath(QStringLiteral("src"));
    QDir().mkpath(src + QStringLiteral("/texte"));
    QDir().mkpath(src + QStringLiteral("/binaire"));
    // 100 MB: half sales-file-like text, half incompressible bytes, in 40 files.
    QRandomGenerator rng(42);
    qint64 total = 0;
    QStringList files;
    for (int i = 0; i < 40; ++i) {
        QByteArray bytes;
        if (i % 2 == 0) {
            QByteArray line;
            while (bytes.size() < 2'500'000) {
                line = QByteArray::number(rng.bounded(100000)) + ";2026-03-" + QByteArray::number(1 + rng.bounded(28)) +
                       ";Gant nitrile taille " + QByteArray::number(6 + rng.bounded(6)) + ";" +
                       QByteArray::number(rng.bounded(1000) / 100.0) + "\r\n";
                bytes += line;
            }
        } else {
            bytes.resize(2'500'000);
            rng.fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
        }
        const QString path = src + (i % 2 == 0 ? QStringLiteral("/texte/") : QStringLiteral("/binaire/")) +
                             QStringLiteral("f%1.dat").arg(i);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        total += bytes.size();
        files << path;
    }

    const QString ours = dir.filePath(QStringLiteral("ours.zip"));
    const QString theirs = dir.filePath(QStringLiteral("infozip.zip"));
    const double writeOurs = seconds([&] {
        ZipClass z;
        for (const QString& f : files)
            z.AddFile(f, QDir(src).relativeFilePath(f));
        z.WriteZip(ours, true);
    });
    const double writeTheirs = seconds([&] { runOrDie(QStringLiteral("zip"), {QStringLiteral("-q"), QStringLiteral("-r"), theirs, QStringLiteral(".")}, src); });
    const double readOurs = seconds([&] {
        ZipExtractionClass z;
        z.OpenZip(theirs);
        z.Extract(dir.filePath(QStringLiteral("out-ours")), true, true);
    });
    const double readTheirs = seconds([&] {
        runOrDie(QStringLiteral("unzip"), {QStringLiteral("-q"), QStringLiteral("-o"), theirs, QStringLiteral("-d"), dir.filePath(QStringLiteral("out-unzip"))}, dir.path());
    });
    out << "Archive de " << total / 1'000'000 << " Mo (40 fichiers, moitié texte, moitié aléatoire)\n";
    out << QStringLiteral("  écriture : ZipClass %1 s, zip %2 s, rapport %3\n").arg(writeOurs, 0, 'f', 2).arg(writeTheirs, 0, 'f', 2).arg(writeOurs / writeTheirs, 0, 'f', 2);
    out << QStringLiteral("  lecture  : ZipExtractionClass %1 s, unzip %2 s, rapport %3\n").arg(readOurs, 0, 'f', 2).arg(readTheirs, 0, 'f', 2).arg(readOurs / readTheirs, 0, 'f', 2);
    out << QStringLiteral("  tailles  : %1 octets (ZipClass), %2 octets (zip)\n").arg(QFileInfo(ours).size()).arg(QFileInfo(theirs).size());
    return 0;
}
