#include "FnZidurad.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TstFnZidurad : public QObject {
    Q_OBJECT

    static void touch(const QString& path)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }

private Q_SLOTS:
    void fileNameOfPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::addRow("unix path") << "/srv/automat/image/12.jpg" << "12.jpg";
        QTest::addRow("windows path") << "C:\\Prog\\RPT SQL\\CA.RPT" << "CA.RPT";
        QTest::addRow("drive only") << "C:x.txt" << "x.txt";
        QTest::addRow("bare name") << "automat.ini" << "automat.ini";
        QTest::addRow("ends with backslash") << "C:\\Prog\\" << "";
        QTest::addRow("ends with colon") << "C:" << "";
        QTest::addRow("empty") << "" << "";
    }
    void fileNameOfPath()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(FnZidurad::FileNameOfPath(path), expected);
    }

    void withBackslash_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("expected");
        QTest::addRow("appends") << "/srv/a" << "/srv/a/";
        QTest::addRow("slash kept") << "/srv/a/" << "/srv/a/";
        QTest::addRow("backslash kept") << "C:\\a\\" << "C:\\a\\";
    }
    void withBackslash()
    {
        QFETCH(QString, folder);
        QFETCH(QString, expected);
        QCOMPARE(FnZidurad::WithBackslash(folder), expected);
    }

    void fileExistsIgnoresCase()
    {
        QTemporaryDir dir;
        touch(dir.filePath(QStringLiteral("MAINTEN.MDB")));
        touch(dir.filePath(QStringLiteral("misc25.ico")));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Image")));
        QVERIFY(FnZidurad::FileExists(dir.path(), QStringLiteral("mainten.mdb")));
        QVERIFY(FnZidurad::FileExists(dir.path() + u'/', QStringLiteral("MISC25.ICO")));
        QCOMPARE(FnZidurad::RealFileName(dir.path(), QStringLiteral("Misc25.Ico")), QStringLiteral("misc25.ico"));
        QCOMPARE(FnZidurad::RealFilePath(dir.path(), QStringLiteral("mainten.MDB")),
                 dir.path() + QStringLiteral("/MAINTEN.MDB"));
        QVERIFY2(!FnZidurad::FileExists(dir.path(), QStringLiteral("image")), "a folder is not a file");
        QVERIFY(!FnZidurad::FileExists(dir.path(), QStringLiteral("absent.txt")));
        QVERIFY(!FnZidurad::FileExists(dir.path(), QStringLiteral("*.ico")));
        QVERIFY(!FnZidurad::FileExists(dir.path(), QString()));
        QVERIFY(!FnZidurad::FileExists(dir.path() + QStringLiteral("/nowhere"), QStringLiteral("x")));
    }

    void exactSpellingPreferred()
    {
        QTemporaryDir dir;
        touch(dir.filePath(QStringLiteral("a.jpg")));
        touch(dir.filePath(QStringLiteral("A.JPG")));
        QCOMPARE(FnZidurad::RealFileName(dir.path(), QStringLiteral("A.JPG")), QStringLiteral("A.JPG"));
        QCOMPARE(FnZidurad::RealFileName(dir.path(), QStringLiteral("a.jpg")), QStringLiteral("a.jpg"));
    }

    void folderIsWritable()
    {
        QTemporaryDir dir;
        touch(dir.filePath(QStringLiteral("test.tst")));
        QVERIFY(FnZidurad::FolderIsWritable(dir.path()));
        QVERIFY2(!QFile::exists(dir.filePath(QStringLiteral("test.tst"))), "the test file is removed");
        QVERIFY(!FnZidurad::FolderIsWritable(dir.filePath(QStringLiteral("missing"))));
    }

    void appFolderKeepsCase()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Automat Démo"));
        QVERIFY(QDir().mkpath(folder));
        qputenv("AUTOMAT_HOME", (folder + QStringLiteral("/ ")).toUtf8());
        QCOMPARE(FnZidurad::ApplicationFolder(), folder);
        QCOMPARE(FnZidurad::AppFolder(), folder + u'/');
        qunsetenv("AUTOMAT_HOME");
        QCOMPARE(FnZidurad::ApplicationFolder(), QCoreApplication::applicationDirPath());
    }
};

QTEST_GUILESS_MAIN(TstFnZidurad)
#include "tst_fnzidurad.moc"
