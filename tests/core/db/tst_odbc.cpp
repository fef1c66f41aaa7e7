#include "AppException.h"
#include "AppSettings.h"
#include "DbFixture.h"
#include "Recordset.h"

#include <QFile>
#include <QtTest>

// The server path for real: unixODBC with the SQLite ODBC driver registered under the
// name "SQL Server" in a test-local odbcinst.ini, opened with the exact ConnectionString.
class TstOdbc : public QObject {
    Q_OBJECT

    QTemporaryDir m_odbc;

    static AppSettings settingsFor(const QString& databasePath)
    {
        AppSettings s;
        s.DatabasePassword = QStringLiteral("zz");
        s.ServerName = QStringLiteral("VOREROZIVER\\AUTOMATE");
        s.DatabaseName = databasePath;
        s.ConnectionString = AppSettings::BuildConnectionString(1, s.DatabasePassword, s.ServerName, s.DatabaseName);
        return s;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QFile ini(m_odbc.filePath(QStringLiteral("odbcinst.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[SQL Server]\nDescription=SQLite standing in for SQL Server\n"
                  "Driver=/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so\n");
        ini.close();
        qputenv("ODBCSYSINI", m_odbc.path().toLocal8Bit());
        qputenv("ODBCINI", m_odbc.filePath(QStringLiteral("odbc.ini")).toLocal8Bit());
    }

    void opensWithTheConnectionString()
    {
        DbFixture f;
        const AppSettings s = settingsFor(f.path);
        QVERIFY(s.ConnectionString.startsWith(QStringLiteral("uid=sa;pwd=zz;driver={SQL Server}; server=VOREROZIVER\\AUTOMATE;database=")));
        QVERIFY(s.ConnectionString.endsWith(QStringLiteral(";dsn=''")));
        auto db = Database::open(s);
        QVERIFY(db->engine() == Database::Engine::Odbc);
        const ResultTable r = db->query(QStringLiteral(
            "SELECT TOP 100 PERCENT NoTaille, Taille From dbo.Tailles Where (NoFamille =1) ORDER BY Ordre"));
        QCOMPARE(r.rows.size(), 2);
        QCOMPARE(r.rows[1][1].toString(), QStringLiteral("9"));
        // Dates arrive as dates through the driver.
        const ResultTable d = db->query(QStringLiteral("SELECT TOP 1 LaDate FROM Ventes ORDER BY LaDate"));
        QCOMPARE(d.rows[0][0].toDateTime(), QDateTime(QDate(2026, 2, 1), QTime(0, 0)));
    }

    void recordsetWritesAndRefusals()
    {
        DbFixture f;
        auto db = Database::open(settingsFor(f.path));
        Recordset rs(*db, QStringLiteral("Sites order by NoSite"));
        QCOMPARE(rs.RecordCount(), 2);
        rs.AddNew();
        rs.setValue(QStringLiteral("NomSite"), QStringLiteral("SAINT-PRIEST"));
        rs.Update();
        QCOMPARE(rs.value(QStringLiteral("NoSite")).toInt(), 3); // the counter read back
        rs.setValue(QStringLiteral("Info"), QStringLiteral("Zone d'activités"));
        rs.Update();
        QCOMPARE(f.db->query(QStringLiteral("SELECT Info FROM Sites WHERE NoSite = 3")).rows[0][0].toString(),
                 QStringLiteral("Zone d'activités"));
        rs.AddNew();
        rs.setValue(QStringLiteral("NomSite"), QStringLiteral("lyon"));
        QCOMPARE(failureOf([&] { rs.Update(); }), Database::Duplicate);
        rs.CancelUpdate();
        QVERIFY(rs.Find(QStringLiteral("NoSite=1"), 0, true, 0));
        QCOMPARE(failureOf([&] { rs.Delete(); }), Database::RefusedWrite); // still used
        QVERIFY(rs.Find(QStringLiteral("NoSite=3"), 0, true, 0));
        rs.Delete();
        QCOMPARE(rs.RecordCount(), 2);
        // A join written through: the column's own table by its key.
        Recordset q(*db, QStringLiteral("SELECT Quota.NoLigne, Quota.QtePermise, ArticleEnStock.Designation FROM Quota "
                                        "INNER JOIN ArticleEnStock ON ArticleEnStock.Reference = Quota.RefArticle ORDER BY Quota.NoLigne"));
        q.setValue(QStringLiteral("QtePermise"), 9);
        q.Update();
        QCOMPARE(f.db->query(QStringLiteral("SELECT QtePermise FROM Quota WHERE NoLigne = 1")).rows[0][0].toInt(), 9);
    }

    void unreachableServer()
    {
        AppSettings s = settingsFor(QStringLiteral("/nonexistent/folder/base.sqlite"));
        s.ConnectionString.replace(QStringLiteral("{SQL Server}"), QStringLiteral("{Pilote Absent}"));
        QCOMPARE(failureOf([&] { Database::open(s); }), Database::Unreachable);
    }
};

QTEST_GUILESS_MAIN(TstOdbc)
#include "tst_odbc.moc"
