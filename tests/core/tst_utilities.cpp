#include "AppException.h"
#include "Crypte.h"
#include "ErrorReport.h"
#include "FonctionUtilitaires.h"
#include "ScriptedUi.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

class TstUtilities : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;

    int logRows(const QString& path)
    {
        int rows = -1;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
            db.setDatabaseName(path);
            if (db.open()) {
                QSqlQuery q(QStringLiteral("SELECT COUNT(*) FROM Erreurs"), db);
                if (q.next())
                    rows = q.value(0).toInt();
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("check"));
        return rows;
    }

private Q_SLOTS:
    void init()
    {
        qputenv("AUTOMAT_HOME", m_home.path().toUtf8());
        ErrorReport::resetErrorLogFolder();
        QFile::remove(m_home.filePath(QStringLiteral("MAINTEN.MDB")));
        QFile::remove(m_home.filePath(QStringLiteral("mainten.mdb")));
    }

    void errorText()
    {
        QCOMPARE(ErrorReport::ErrorText(3022, QStringLiteral("Doublon")),
                 QStringLiteral("Erreur N°:\r3022\rDoublon\rAppuyez sur (A) pour continuer"));
    }

    void reportErrorWithoutLogStillShows()
    {
        ScriptedUi ui;
        ErrorReport::ReportError(ui, QStringLiteral("Form load frm principale"),
                                 AppException(-2147467259, QStringLiteral("Base injoignable")));
        QCOMPARE(ui.shown().size(), 1);
        QCOMPARE(ui.lastMessage(), QStringLiteral("N°: -2147467259 Base injoignable"));
        QCOMPARE(ui.shown().first().title, QString());
        QVERIFY(ui.shown().first().buttons == Ui::Buttons::Ok);
        QCOMPARE(ErrorReport::errorLogFolder(), m_home.path() + u'/');
        QVERIFY(!QFile::exists(m_home.filePath(QStringLiteral("MAINTEN.MDB"))));
    }

    void reportErrorLogsARow()
    {
        // The log is found whatever the case of its name on disk.
        QVERIFY(ErrorReport::CreateErrorLog(m_home.path()));
        QVERIFY(QFile::rename(m_home.filePath(QStringLiteral("MAINTEN.MDB")),
                              m_home.filePath(QStringLiteral("mainten.mdb"))));
        ScriptedUi ui;
        ErrorReport::ReportError(ui, QStringLiteral("IntegrationSynchroServ"), 53,
                                 QStringLiteral("Fichier l'introuvable"));
        ErrorReport::ReportError(ui, QStringLiteral("CmdEmail_Click"), 5, QStringLiteral("x"));
        const QString path = m_home.filePath(QStringLiteral("mainten.mdb"));
        QCOMPARE(logRows(path), 2);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("row"));
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QSqlQuery q(QStringLiteral("SELECT DateErreur, Contexte, Erreur FROM Erreurs ORDER BY rowid"), db);
            QVERIFY(q.next());
            const QDateTime when = QDateTime::fromString(q.value(0).toString(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            QVERIFY(when.isValid());
            QVERIFY(qAbs(when.secsTo(QDateTime::currentDateTime())) < 60);
            QCOMPARE(q.value(1).toString(), QStringLiteral("IntegrationSynchroServ"));
            QCOMPARE(q.value(2).toString(), QStringLiteral("N°: 53 Fichier l'introuvable"));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("row"));
    }

    void corruptLogIsIgnored()
    {
        QFile f(m_home.filePath(QStringLiteral("MAINTEN.MDB")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("Standard Jet DB\0\0\0 not sqlite at all", 36);
        f.close();
        ScriptedUi ui;
        ErrorReport::ReportError(ui, QStringLiteral("ctx"), 1, QStringLiteral("d"));
        QCOMPARE(ui.lastMessage(), QStringLiteral("N°: 1 d"));
        ErrorReport::LogError(QStringLiteral("ctx"), QStringLiteral("again"));
    }

    void convertNull_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("number");
        QTest::addRow("null") << QVariant() << "" << 0.0;
        QTest::addRow("typed null") << QVariant(QMetaType::fromType<int>()) << "" << 0.0;
        QTest::addRow("empty text") << QVariant(QString()) << "" << 0.0;
        QTest::addRow("integer") << QVariant(42) << "42" << 42.0;
        QTest::addRow("double") << QVariant(12.5) << "12.5" << 12.5;
        QTest::addRow("text with point") << QVariant(QStringLiteral("3.25")) << "3.25" << 3.25;
        QTest::addRow("text with comma") << QVariant(QStringLiteral("3,25")) << "3,25" << 3.25;
    }
    void convertNull()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, text);
        QFETCH(double, number);
        QCOMPARE(FonctionUtilitaires::ConvertNullStr(value), text);
        QCOMPARE(FonctionUtilitaires::ConvertNullNum(value), number);
    }

    void convertNullNumRefusesText()
    {
        try {
            FonctionUtilitaires::ConvertNullNum(QStringLiteral("douze"));
            QFAIL("a text that is not a number must fail in the caller");
        } catch (const AppException& e) {
            QCOMPARE(e.number(), 13L);
        }
    }

    void convertNullStrReportsWhatHasNoText()
    {
        ScriptedUi ui;
        QCOMPARE(FonctionUtilitaires::ConvertNullStr(QVariant::fromValue(QSize(1, 2)), &ui), QString());
        QCOMPARE(ui.lastMessage(), QStringLiteral("N°: 13 Incompatibilité de type"));
    }

    void crypte_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        QTest::addRow("empty") << "" << "abcdefgh" << "";
        // 'b'(98) - 'a'(97) = 1
        QTest::addRow("simple") << "b" << "abcdefgh" << QString(QChar(1));
        // 'a'(97) - 'b'(98) = -1 + 255 = 254 (þ), not 255
        QTest::addRow("wraps with 255") << QString(QChar(u'a')) << "bcdefghi" << QStringLiteral("þ");
        // the ninth character uses the key's first letter again
        QTest::addRow("key reused from its first letter")
            << "bbbbbbbbb" << "aaaaaaaa" << QString(9, QChar(1));
        // 0x80 is the euro sign in the workstation's code page
        QTest::addRow("euro sign read as 128") << QStringLiteral("€") << "a" << QString(QChar(31));
        // 97 - 224 + 255 = 128: the result is the euro sign, not U+0080
        QTest::addRow("result in the code page") << "a" << QStringLiteral("à") << QStringLiteral("€");
    }
    void crypte()
    {
        QFETCH(QString, text);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QCOMPARE(Crypte::Crypte(text, key), expected);
    }

    void scrambleIsTheInverse()
    {
        const QString plain = QStringLiteral("Mot de passe #1 à Zürich");
        const QString key = QStringLiteral("zidurada");
        QCOMPARE(Crypte::Crypte(Crypte::Scramble(plain, key), key), plain);
    }

    void pauseKeepsEventsRunning()
    {
        bool fired = false;
        QTimer::singleShot(20, this, [&] { fired = true; });
        QElapsedTimer t;
        t.start();
        FonctionUtilitaires::Pause(0.2);
        QVERIFY(fired);
        QVERIFY(t.elapsed() >= 200);
    }
};

QTEST_GUILESS_MAIN(TstUtilities)
#include "tst_utilities.moc"
