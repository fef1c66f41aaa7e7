#include "FrmPrincipal.h"
#include "LittleEndian.h"
#include "AppSettings.h"
#include "ScriptedUi.h"
#include "ZipClass.h"
#include "ZipExtractionClass.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <zlib.h>

namespace {

using LittleEndian::append16;
using LittleEndian::append32;

// An entry of a crafted archive; the overrides make it lie.
struct Raw {
    QByteArray name;
    QByteArray content;
    quint16 method = 8;
    qint64 crc = -1;          // the true CRC when negative
    qint64 uncompressed = -1; // the true size when negative
    qint64 localOffset = -1;  // the true offset when negative
};

QByteArray deflateRaw(const QByteArray& in)
{
    z_stream zs{};
    deflateInit2(&zs, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(qsizetype(deflateBound(&zs, uLong(in.size()))), Qt::Uninitialized);
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.constData()));
    zs.avail_in = uInt(in.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = uInt(out.size());
    deflate(&zs, Z_FINISH);
    out.truncate(qsizetype(zs.total_out));
    deflateEnd(&zs);
    return out;
}

QByteArray craft(const QList<Raw>& entries, quint16 totalOverride = 0xFFFF)
{
    QByteArray zip, central;
    for (const Raw& e : entries) {
        const QByteArray data = e.method == 8 ? deflateRaw(e.content) : e.content;
        const quint32 crc = e.crc >= 0 ? quint32(e.crc)
                                       : quint32(crc32(0, reinterpret_cast<const Bytef*>(e.content.constData()), uInt(e.content.size())));
        const quint32 usize = e.uncompressed >= 0 ? quint32(e.uncompressed) : quint32(e.content.size());
        const quint32 offset = e.localOffset >= 0 ? quint32(e.localOffset) : quint32(zip.size());
        append32(zip, 0x04034B50); append16(zip, 20); append16(zip, 0); append16(zip, e.method); append16(zip, 0); append16(zip, 0x5821);
        append32(zip, crc); append32(zip, quint32(data.size())); append32(zip, usize); append16(zip, quint16(e.name.size())); append16(zip, 0);
        zip += e.name + data;
        append32(central, 0x02014B50); append16(central, 20); append16(central, 20); append16(central, 0); append16(central, e.method);
        append16(central, 0); append16(central, 0x5821); append32(central, crc); append32(central, quint32(data.size())); append32(central, usize);
        append16(central, quint16(e.name.size())); append16(central, 0); append16(central, 0); append16(central, 0); append16(central, 0);
        append32(central, 0); append32(central, offset);
        central += e.name;
    }
    const quint32 cdStart = quint32(zip.size());
    zip += central;
    const quint16 total = totalOverride != 0xFFFF ? totalOverride : quint16(entries.size());
    append32(zip, 0x06054B50); append16(zip, 0); append16(zip, 0); append16(zip, total); append16(zip, total);
    append32(zip, quint32(central.size())); append32(zip, cdStart); append16(zip, 0);
    return zip;
}

struct Recorder {
    QList<QPair<int, QString>> errors;
    QStringList statuses;
    int cancelAt = 0;
    int progressCount = 0;
    void attach(ZipExtractionClass& z)
    {
        QObject::connect(&z, &ZipExtractionClass::error, [this](int n, const QString& d) { errors << qMakePair(n, d); });
        QObject::connect(&z, &ZipExtractionClass::status, [this](const QString& t) { statuses << t; });
        QObject::connect(&z, &ZipExtractionClass::progress, [this](int, bool* cancel) {
            ++progressCount;
            if (cancelAt && progressCount == cancelAt)
                *cancel = true;
        });
    }
    QList<int> numbers() const
    {
        QList<int> n;
        for (const auto& e : errors)
            n << e.first;
        return n;
    }
};

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<absent>");
}

// Every file under a folder, by relative path, with its bytes' hash.
QMap<QString, QByteArray> tree(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString p = it.next();
        files.insert(QDir(folder).relativeFilePath(p), QCryptographicHash::hash(readFile(p), QCryptographicHash::Sha1));
    }
    return files;
}

int run(const QString& program, const QStringList& args, const QString& cwd = QString())
{
    QProcess p;
    if (!cwd.isEmpty())
        p.setWorkingDirectory(cwd);
    p.start(program, args);
    p.waitForFinished(60000);
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace

class TstZip : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

    // A small tree of mixed files.
    QString sampleTree()
    {
        const QString root = path(QStringLiteral("source"));
        if (QFileInfo::exists(root))
            return root;
        writeFile(root + QStringLiteral("/ventes.csv"), QByteArray("NumVente;Total\n").repeated(2000));
        QByteArray binary(70000, Qt::Uninitialized);
        for (int i = 0; i < binary.size(); ++i)
            binary[i] = char((i * 7919) % 251);
        writeFile(root + QStringLiteral("/images/photo.bin"), binary);
        writeFile(root + QStringLiteral("/images/petit.txt"), "a");
        writeFile(root + QStringLiteral("/docs/notes.txt"), "Fichier d'exemple\r\n");
        return root;
    }

private Q_SLOTS:
    void missingAndNotZip()
    {
        Recorder r;
        ZipExtractionClass z;
        r.attach(z);
        QVERIFY(!z.OpenZip(path(QStringLiteral("absent.zip"))));
        writeFile(path(QStringLiteral("pas-un-zip.zip")), "PK\x03\x04 but nothing after");
        QVERIFY(!z.OpenZip(path(QStringLiteral("pas-un-zip.zip"))));
        writeFile(path(QStringLiteral("trois.zip")), "abc");
        QVERIFY(!z.OpenZip(path(QStringLiteral("trois.zip"))));
        QCOMPARE(r.numbers(), QList<int>({10, 2, 2}));
        QCOMPARE(r.errors[1].second, QStringLiteral("The file ") + path(QStringLiteral("pas-un-zip.zip")) + QStringLiteral(" is not a Zip file"));
        QVERIFY(!z.Extract(path(QStringLiteral("out")), true, true));
        QCOMPARE(r.errors.last(), qMakePair(3, QStringLiteral("There is no Zip File Open")));
        QVERIFY(!z.ZLibVersion().isEmpty());
    }

    void roundTripAndOtherReaders()
    {
        const QString root = sampleTree();
        ZipClass writer;
        QVERIFY(writer.AddFile(root + QStringLiteral("/ventes.csv")));
        QVERIFY(writer.AddFile(root + QStringLiteral("/images/photo.bin"), QString(), QStringLiteral("une photo")));
        QVERIFY(writer.AddFile(root + QStringLiteral("/docs/notes.txt"), QStringLiteral("docs/notes.txt")));
        QVERIFY(!writer.AddFile(root + QStringLiteral("/absent.txt")));
        QCOMPARE(writer.FileCount(), 3);
        writer.setComment(QStringLiteral("Archive de test"));
        const QString archive = path(QStringLiteral("ecrit.zip"));
        QVERIFY(writer.WriteZip(archive, false));
        QVERIFY(!writer.WriteZip(archive, false)); // kept without Overwrite
        QVERIFY(writer.WriteZip(archive, true));

        // Our reader.
        Recorder r;
        ZipExtractionClass z;
        r.attach(z);
        QVERIFY(z.OpenZip(archive));
        QVERIFY(z.Extract(path(QStringLiteral("relu")), true, true));
        z.CloseZip();
        QVERIFY(r.errors.isEmpty());
        QCOMPARE(readFile(path(QStringLiteral("relu/ventes.csv"))), readFile(root + QStringLiteral("/ventes.csv")));
        QCOMPARE(readFile(path(QStringLiteral("relu/photo.bin"))), readFile(root + QStringLiteral("/images/photo.bin")));
        QCOMPARE(readFile(path(QStringLiteral("relu/docs/notes.txt"))), readFile(root + QStringLiteral("/docs/notes.txt")));
        QCOMPARE(r.statuses, QStringList({"Opening Zip", "Zip Opened", "Extracting Files", "Extracting ...\\ventes.csv",
                                          "Extracting ...\\photo.bin", "Extracting ...\\docs\\notes.txt",
                                          "Extraction Complete", "Zip Closed"}));

        // Info-ZIP tests it and Python's zipfile reads the same bytes.
        QCOMPARE(run(QStringLiteral("unzip"), {QStringLiteral("-tq"), archive}), 0);
        const QString py = QStringLiteral(
            "import sys, zipfile, hashlib\n"
            "z = zipfile.ZipFile(sys.argv[1])\n"
            "assert z.testzip() is None\n"
            "assert z.comment == b'Archive de test'\n"
            "for i in z.infolist(): print(i.filename, hashlib.sha1(z.read(i)).hexdigest())\n");
        QProcess p;
        p.start(QStringLiteral("python3"), {QStringLiteral("-c"), py, archive});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        const QString listing = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY(listing.contains(QStringLiteral("photo.bin ") +
                                 QString::fromLatin1(QCryptographicHash::hash(readFile(root + QStringLiteral("/images/photo.bin")),
                                                                              QCryptographicHash::Sha1).toHex())));
    }

    void archivesOfOtherWriters_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addRow("Info-ZIP deflated") << QStringList{"zip", "-qr", "-9"};
        QTest::addRow("Info-ZIP stored") << QStringList{"zip", "-qr", "-0"};
        QTest::addRow("Python zipfile") << QStringList{"python3", "-c",
            "import sys, os, zipfile\n"
            "with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:\n"
            "    for d, _, fs in os.walk('.'):\n"
            "        z.write(d)\n"
            "        for f in fs: z.write(os.path.join(d, f))\n"};
    }
    void archivesOfOtherWriters()
    {
        QFETCH(QStringList, command);
        const QString root = sampleTree();
        const QString archive = path(QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_') + QStringLiteral(".zip"));
        QFile::remove(archive);
        const QString program = command.takeFirst();
        QCOMPARE(run(program, command + QStringList{archive, QStringLiteral(".")}, root), 0);
        const QString out = path(QStringLiteral("de-") + QFileInfo(archive).baseName());
        Recorder r;
        ZipExtractionClass z;
        r.attach(z);
        QVERIFY(z.OpenZip(archive));
        QVERIFY(z.Extract(out, true, true));
        QVERIFY2(r.errors.isEmpty(), qPrintable(r.errors.value(0).second));
        QCOMPARE(tree(out), tree(root));
    }

    void emptyEntriesCreateNothing()
    {
        const QString archive = path(QStringLiteral("vides.zip"));
        writeFile(archive, craft({{"dossier/", "", 0}, {"dossier/vide.txt", "", 8}, {"plein.txt", "x", 8}}));
        ZipExtractionClass z;
        QVERIFY(z.OpenZip(archive));
        QVERIFY(z.Extract(path(QStringLiteral("vides")), true, true));
        QCOMPARE(QDir(path(QStringLiteral("vides"))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"plein.txt"});
    }

    void flatCollisions()
    {
        const QString archive = path(QStringLiteral("doublons.zip"));
        writeFile(archive, craft({{"a/x.txt", "premier"}, {"b/x.txt", "second"}}));
        for (bool overwrite : {false, true}) {
            const QString out = path(overwrite ? QStringLiteral("plat-remplace") : QStringLiteral("plat-garde"));
            Recorder r;
            ZipExtractionClass z;
            r.attach(z);
            QVERIFY(z.OpenZip(archive));
            QVERIFY(z.Extract(out, false, overwrite));
            QCOMPARE(readFile(out + QStringLiteral("/x.txt")), overwrite ? QByteArray("second") : QByteArray("premier"));
            QCOMPARE(r.numbers(), overwrite ? QList<int>{} : QList<int>{11});
            if (!overwrite)
                QCOMPARE(r.errors[0].second, QStringLiteral("The file ") + out + QStringLiteral("/x.txt already exists"));
        }
    }

    void wrongChecksum()
    {
        const QString archive = path(QStringLiteral("crc.zip"));
        writeFile(archive, craft({{"abime.txt", "contenu", 8, 0x12345678}, {"bon.txt", "ok", 8}, {"stocke.txt", "brut", 0, 1}}));
        Recorder r;
        ZipExtractionClass z;
        r.attach(z);
        QVERIFY(z.OpenZip(archive));
        QVERIFY(z.Extract(path(QStringLiteral("crc")), true, true)); // the others go on
        QCOMPARE(r.numbers(), QList<int>({5, 5}));
        QVERIFY(!QFile::exists(path(QStringLiteral("crc/abime.txt"))));
        QVERIFY(!QFile::exists(path(QStringLiteral("crc/stocke.txt"))));
        QCOMPARE(readFile(path(QStringLiteral("crc/bon.txt"))), QByteArray("ok"));
        QCOMPARE(QDir(path(QStringLiteral("crc"))).entryList(QDir::Files | QDir::Hidden).size(), 1); // no temporary left
    }

    void cancelInTheFirstProgress()
    {
        const QString archive = path(QStringLiteral("annule.zip"));
        writeFile(archive, craft({{"un.txt", "1"}, {"deux.txt", "2"}}));
        Recorder r;
        ZipExtractionClass z;
        r.cancelAt = 1;
        r.attach(z);
        QVERIFY(z.OpenZip(archive));
        QVERIFY(!z.Extract(path(QStringLiteral("annule")), true, true));
        QVERIFY(QFile::exists(path(QStringLiteral("annule/un.txt"))));
        QVERIFY(!QFile::exists(path(QStringLiteral("annule/deux.txt"))));
    }

    void unsupportedMethod()
    {
        const QString archive = path(QStringLiteral("methode.zip"));
        writeFile(archive, craft({{"bz.txt", "data", 12}, {"ok.txt", "ok", 8}}));
        Recorder r;
        ZipExtractionClass z;
        r.attach(z);
        QVERIFY(z.OpenZip(archive));
        QVERIFY(z.Extract(path(QStringLiteral("methode")), true, true));
        QCOMPARE(r.errors.value(0), qMakePair(4, QStringLiteral("The compression Method for bz.txt is unsupported")));
        QVERIFY(QFile::exists(path(QStringLiteral("methode/ok.txt"))));
    }

    // Entries that would escape the folder, sizes that lie, offsets that point nowhere.
    void craftedArchives_data()
    {
        QTest::addColumn<QByteArray>("archive");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QList<int>>("errors");
        QTest::addColumn<QStringList>("extracted");
        QTest::addRow("parent folder") << craft({{"../evil.txt", "x"}, {"ok.txt", "ok"}}) << true << QList<int>{14} << QStringList{"ok.txt"};
        QTest::addRow("nested parent") << craft({{"a/../../evil.txt", "x"}}) << true << QList<int>{14} << QStringList{};
        QTest::addRow("absolute path") << craft({{"/tmp/evil.txt", "x"}}) << true << QList<int>{14} << QStringList{};
        QTest::addRow("backslash root") << craft({{"\\evil.txt", "x"}}) << true << QList<int>{14} << QStringList{};
        QTest::addRow("NUL inside the name") << craft({{QByteArray("a\0b.txt", 7), "x"}}) << true << QList<int>{14} << QStringList{};
        QTest::addRow("drive letter") << craft({{"C:\\evil.txt", "x"}}) << true << QList<int>{14} << QStringList{};
        QTest::addRow("claims 4 GB") << craft({{"gros.bin", QByteArray(1000, 'a'), 8, -1, 0xFFFFFFF0LL}}) << true << QList<int>{6} << QStringList{};
        QTest::addRow("claims a little more") << craft({{"plus.bin", QByteArray(1000, 'a'), 8, -1, 1001}}) << true << QList<int>{5} << QStringList{};
        QTest::addRow("claims less") << craft({{"moins.bin", QByteArray(100000, 'a'), 8, -1, 10}}) << true << QList<int>{5} << QStringList{};
        QTest::addRow("stored with a wrong size") << craft({{"s.bin", "abc", 0, -1, 3000}}) << true << QList<int>{6} << QStringList{};
        QTest::addRow("local header past the end") << craft({{"loin.txt", "x", 8, -1, -1, 0x7FFFFFF0}}) << true << QList<int>{} << QStringList{};
        QTest::addRow("impossible entry count") << craft({{"a.txt", "x"}}, 60000) << false << QList<int>{2} << QStringList{};
        QByteArray truncated = craft({{"a.txt", QByteArray(5000, 'z')}});
        truncated.remove(40, 30); // the data is cut short: the directory no longer lines up
        QTest::addRow("truncated data") << truncated << false << QList<int>{2} << QStringList{};
        QByteArray badCentral = craft({{"a.txt", "x"}, {"b.txt", "y"}});
        badCentral[badCentral.indexOf("PK\x01\x02") + 0] = 'X';
        QTest::addRow("damaged directory") << badCentral << false << QList<int>{2} << QStringList{};
    }
    void craftedArchives()
    {
        QFETCH(QByteArray, archive);
        QFETCH(bool, answer);
        QFETCH(QList<int>, errors);
        QFETCH(QStringList, extracted);
        const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_');
        const QString file = path(tag + QStringLiteral(".zip"));
        writeFile(file, archive);
        const QString base = path(QStringLiteral("piege-") + tag);
        const QString out = base + QStringLiteral("/dedans/cible");
        QVERIFY(QDir().mkpath(out));
        Recorder r;
        ZipExtractionClass z;
        r.attach(z);
        QVERIFY(z.OpenZip(file));
        QCOMPARE(z.Extract(out, true, true), answer);
        QCOMPARE(r.numbers(), errors);
        QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden), extracted);
        // Nothing was written beside or above the target folder.
        QCOMPARE(QDir(base + QStringLiteral("/dedans")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"cible"});
        QVERIFY(!QFile::exists(QStringLiteral("/tmp/evil.txt")));
    }

    void dosDateAndTime()
    {
        QCOMPARE(ZipFile::DosDate(QDate(2026, 12, 11)), quint16((2026 - 1980) * 512 + 12 * 32 + 11));
        QCOMPARE(ZipFile::DosTime(QTime(13, 45, 59)), quint16(13 * 2048 + 45 * 32 + 29));
        QCOMPARE(ZipFile::DosDate(QDate(1980, 1, 1)), quint16(33));
    }

    void unzipOfTheMainWindow()
    {
        const QString archive = path(QStringLiteral("fenetre.zip"));
        writeFile(archive, craft({{"dossier/a.txt", "a"}}));
        ScriptedUi ui;
        AppSettings s;
        FrmPrincipal w(ui, s);
        w.Unzip(archive, path(QStringLiteral("fenetre")));
        QCOMPARE(ui.lastMessage(), QStringLiteral("Zip files extracted successfully"));
        QVERIFY(ui.shown().last().icon == Ui::Icon::Information);
        QCOMPARE(readFile(path(QStringLiteral("fenetre/dossier/a.txt"))), QByteArray("a"));
        ui.clear();
        w.Unzip(path(QStringLiteral("absent.zip")), path(QStringLiteral("fenetre")));
        QVERIFY(ui.shown().isEmpty());
    }

    void commandLine()
    {
        const QString root = sampleTree();
        const QString archive = path(QStringLiteral("cli.zip"));
        QCOMPARE(run(QStringLiteral(AUTOMAT_CMD), {QStringLiteral("zip"), archive, root + QStringLiteral("/ventes.csv"),
                                                   root + QStringLiteral("/docs/notes.txt"), QStringLiteral("--comment"), QStringLiteral("c")}), 0);
        QCOMPARE(run(QStringLiteral(AUTOMAT_CMD), {QStringLiteral("unzip"), archive, path(QStringLiteral("cli"))}), 0);
        QCOMPARE(readFile(path(QStringLiteral("cli/notes.txt"))), readFile(root + QStringLiteral("/docs/notes.txt")));
        QCOMPARE(run(QStringLiteral(AUTOMAT_CMD), {QStringLiteral("unzip"), archive, path(QStringLiteral("cli")), QStringLiteral("--no-overwrite")}), 2);
        QCOMPARE(run(QStringLiteral(AUTOMAT_CMD), {QStringLiteral("unzip"), path(QStringLiteral("absent.zip")), path(QStringLiteral("cli"))}), 1);
        QCOMPARE(run(QStringLiteral(AUTOMAT_CMD), {QStringLiteral("zip"), archive, path(QStringLiteral("absent.txt"))}), 1);
    }
};

QTEST_MAIN(TstZip)
#include "tst_zip.moc"
