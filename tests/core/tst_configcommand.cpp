#include "Crypte.h"
#include "Secrets.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// automat-cmd config: the check an installer runs on an application folder.
class TstConfigCommand : public QObject {
    Q_OBJECT

    struct Run {
        int status;
        QString out;
        QString err;
    };

    static Run config(const QStringList& args)
    {
        QProcess p;
        p.start(QStringLiteral(AUTOMAT_CMD), QStringList{QStringLiteral("config")} + args);
        p.waitForFinished(30000);
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }

private Q_SLOTS:
    void defaultsWithoutIni()
    {
        QTemporaryDir dir;
        const Run r = config({QStringLiteral("--dossier"), dir.path()});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.contains(QStringLiteral(
                     "ConnectionString = uid=sa;pwd=****;driver={SQL Server}; "
                     "server=VOREROZIVER\\AUTOMATE;database=ZUR;dsn=''")),
                 qPrintable(r.out));
        QVERIFY(r.out.contains(QStringLiteral("MaskCardNumbers = oui")));
        QVERIFY(r.out.contains(QStringLiteral("DatabasePassword = ****")));
        const Secrets s = Secrets::placeholders();
        QVERIFY(!r.out.contains(Crypte::Crypte(s.scrambledPassword, s.cryptKey).left(5)));
    }

    void readsTheFolderIni()
    {
        QTemporaryDir dir;
        QFile f(dir.filePath(QStringLiteral("automat.ini")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Base de donnée]\nsa=0\nNom=GESTION\n[App]\nMasqueCB=oui\n");
        f.close();
        const Run r = config({QStringLiteral("--dossier"), dir.path()});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.contains(QStringLiteral(
            "ConnectionString = uid=;pwd=;driver={SQL Server}; server=VOREROZIVER\\AUTOMATE;database=GESTION;dsn=''")));
        QVERIFY(r.out.contains(QStringLiteral("MaskCardNumbers = non")));
    }

    void errorLogCreated()
    {
        QTemporaryDir dir;
        QProcess p;
        p.start(QStringLiteral(AUTOMAT_CMD), {QStringLiteral("init-journal"), QStringLiteral("--dossier"), dir.path()});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("MAINTEN.MDB"))));
        p.start(QStringLiteral(AUTOMAT_CMD), {QStringLiteral("init-journal"), QStringLiteral("--dossier"), dir.filePath(QStringLiteral("absent/x"))});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 1);
    }

    void unusableFolders()
    {
        QTemporaryDir dir;
        Run r = config({QStringLiteral("--dossier"), dir.filePath(QStringLiteral("absent"))});
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.contains(QStringLiteral("n'existe pas")));

        QFile f(dir.filePath(QStringLiteral("automat.ini")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Base de donnée]\nFichier=manque.sqlite\n");
        f.close();
        r = config({QStringLiteral("--dossier"), dir.path()});
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.contains(QStringLiteral("manque.sqlite")));

        r = config({QStringLiteral("--inconnu")});
        QCOMPARE(r.status, 64);
    }
};

QTEST_GUILESS_MAIN(TstConfigCommand)
#include "tst_configcommand.moc"
