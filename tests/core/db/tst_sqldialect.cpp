#include "AppException.h"
#include "DbFixture.h"
#include "SqlDialect.h"

#include <QtTest>

// The T-SQL texts the windows build must run on the embedded engine and give what the
// site's SQL Server gives.
class TstSqlDialect : public QObject {
    Q_OBJECT

    static QString squeeze(const QString& s) { return s.simplified(); }

private Q_SLOTS:
    void rewrites_data()
    {
        QTest::addColumn<QString>("tsql");
        QTest::addColumn<QString>("expected");
        QTest::addRow("TOP n PERCENT goes")
            << "SELECT TOP 100 PERCENT Etage FROM T ORDER BY Etage" << "SELECT Etage FROM T ORDER BY Etage";
        QTest::addRow("TOP n becomes LIMIT")
            << "SELECT TOP 500 LaDate FROM Ventes ORDER BY LaDate DESC" << "SELECT LaDate FROM Ventes ORDER BY LaDate DESC LIMIT 500";
        QTest::addRow("dbo. and N prefix")
            << "SELECT dbo.Ventes.LaDate FROM dbo.Ventes WHERE (dbo.Ventes.Utilisateur = N'12')"
            << "SELECT Ventes.LaDate FROM Ventes WHERE (Ventes.Utilisateur = '12')";
        QTest::addRow("brackets") << "SELECT [No] FROM [Detail$]" << "SELECT \"No\" FROM \"Detail$\"";
        QTest::addRow("escape function")
            << "SELECT { fn UCASE(DetailVente.NomFamille) } AS NomFamille FROM DetailVente"
            << "SELECT UPPER(DetailVente.NomFamille) AS NomFamille FROM DetailVente";
        QTest::addRow("convert 103")
            << "SELECT 1 WHERE x > CONVERT(DATETIME, '01/02/2026 00:00:00', 103)"
            << "SELECT 1 WHERE x > tsql_datetime('01/02/2026 00:00:00', 103)";
        QTest::addRow("datename") << "SELECT DATENAME(month,  Ventes.LaDate) AS NomMois FROM Ventes"
                                  << "SELECT tsql_monthname(Ventes.LaDate) AS NomMois FROM Ventes";
        QTest::addRow("cast char plus text")
            << "SELECT CAST(NoCBClient AS char(11)) + '*****' AS NoCBClient FROM Ventes"
            << "SELECT tsql_char(NoCBClient, 11) || '*****' AS NoCBClient FROM Ventes";
        QTest::addRow("cast nvarchar") << "SELECT CAST(Ticket AS nvarchar(1500)) AS Ticket FROM Ventes"
                                       << "SELECT substr(CAST(Ticket AS TEXT), 1, 1500) AS Ticket FROM Ventes";
        QTest::addRow("plus between numbers stays") << "SELECT a + 1 FROM T" << "SELECT a + 1 FROM T";
        QTest::addRow("apostrophes inside texts untouched")
            << "SELECT 1 FROM T WHERE Nom = N'D''ALMEIDA -- ; TOP 5 dbo.x'"
            << "SELECT 1 FROM T WHERE Nom = 'D''ALMEIDA -- ; TOP 5 dbo.x'";
        QTest::addRow("nested joins parenthesized")
            << "SELECT 1 FROM A INNER JOIN B INNER JOIN C ON B.x = C.x ON A.y = B.y WHERE A.z = 1"
            << "SELECT 1 FROM A INNER JOIN (B INNER JOIN C ON B.x = C.x) ON A.y = B.y WHERE A.z = 1";
        QTest::addRow("flat joins unchanged")
            << "SELECT 1 FROM A LEFT OUTER JOIN B ON A.x = B.x RIGHT OUTER JOIN C ON C.y = B.y"
            << "SELECT 1 FROM A LEFT OUTER JOIN B ON A.x = B.x RIGHT OUTER JOIN C ON C.y = B.y";
    }
    void rewrites()
    {
        QFETCH(QString, tsql);
        QFETCH(QString, expected);
        QCOMPARE(squeeze(SqlDialect(SqlDialect::Engine::Sqlite).rewrite(tsql)), squeeze(expected));
        QCOMPARE(SqlDialect(SqlDialect::Engine::SqlServer).rewrite(tsql), tsql);
    }

    void execParsing()
    {
        SqlDialect::Exec e;
        QVERIFY(SqlDialect::parseExec(QStringLiteral("EXEC EtatCA '01/02/2026 00:00:00' ,'28/02/2026 23:59:59'"), &e));
        QCOMPARE(e.procedure, QStringLiteral("EtatCA"));
        QCOMPARE(e.arguments, QStringList({QStringLiteral("01/02/2026 00:00:00"), QStringLiteral("28/02/2026 23:59:59")}));
        QVERIFY(SqlDialect::parseExec(QStringLiteral("exec dbo.RemplissageMachine 12"), &e));
        QCOMPARE(e.procedure, QStringLiteral("RemplissageMachine"));
        QCOMPARE(e.arguments, QStringList{QStringLiteral("12")});
        QVERIFY(!SqlDialect::parseExec(QStringLiteral("SELECT 'EXEC x'"), &e));
    }

    void quoting_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("found");
        QTest::addRow("apostrophe") << "D'ALMEIDA" << 1;
        QTest::addRow("comment") << "x' -- " << 0;
        QTest::addRow("statement") << "'; DELETE FROM Sites; --" << 0;
        QTest::addRow("star") << "*" << 0;
    }
    void quoting()
    {
        QFETCH(QString, typed);
        QFETCH(int, found);
        DbFixture f;
        const ResultTable r = f.db->query(QStringLiteral("SELECT COUNT(*) FROM Utilisateurs WHERE Nom = ") + Sql::NText(typed));
        QCOMPARE(r.rows[0][0].toInt(), found);
        const ResultTable same = f.db->query(QStringLiteral("SELECT ") + Sql::Text(typed));
        QCOMPARE(same.rows[0][0].toString(), typed);
        QCOMPARE(f.db->query(QStringLiteral("SELECT COUNT(*) FROM Sites")).rows[0][0].toInt(), 2);
    }

    // The query texts of the windows, as they build them, with what the server returns.
    void windowQueries_data()
    {
        QTest::addColumn<QString>("tsql");
        QTest::addColumn<QString>("expected"); // rows joined by "|", cells by ","

        QTest::addRow("sizes of a family")
            << "SELECT   TOP 100 PERCENT NoTaille, Taille, Ordre, NoFamille From Tailles Where (NoFamille =1) ORDER BY Ordre"
            << "1,8,1,1|2,9,2,1";
        QTest::addRow("sizes of no family")
            << "SELECT   TOP 100 PERCENT NoTaille, Taille, Ordre, NoFamille From Tailles Where (NoFamille IS NULL) ORDER BY Ordre"
            << "";
        QTest::addRow("machine plan")
            << "SELECT      ConfigMachines.NoMachine,  ConfigMachines.Etage,  ConfigMachines.ReferenceArticle,  ArticleEnStock.CodeArticle,"
               "  ArticleEnStock.Designation FROM          ArticleEnStock RIGHT OUTER JOIN  ConfigMachines ON  ArticleEnStock.Reference =  "
               "ConfigMachines.ReferenceArticle Where ( ConfigMachines.NoMachine =1)"
            << "1,1,1000,1,Gant nitrile|1,2,,,";
        QTest::addRow("slots by floor")
            << "SELECT  TOP 100 PERCENT Etage, COUNT(Reference) AS CompteDeReference From  EmplacementsMachine1 where (NoMachine = 1)  GROUP BY Etage ORDER BY Etage"
            << "1,2|2,0";
        QTest::addRow("slots by column")
            << "SELECT     TOP 100 PERCENT  COUNT(Reference) AS CompteDeReference, Colonne From  EmplacementsMachine1 where (NoMachine = 1)  GROUP BY Colonne ORDER BY Colonne"
            << "1,1|1,2";
        QTest::addRow("locker plan")
            << "SELECT TOP 100 PERCENT NoMachine, COUNT(ReferenceArticle) AS CompteReference, ReferenceArticle, CodeArticle From dbo.ConfigMachines GROUP BY NoMachine, ReferenceArticle,CodeArticle Having (NoMachine = 1)"
            << "1,0,,|1,1,1000,1";
        QTest::addRow("employee consumption (nested joins, upper case, period, N'')")
            << "SELECT DATENAME(month,  Ventes.LaDate) AS NomMois, Ventes.TypeMouvement,  Ventes.LaDate,  Ventes.Utilisateur,  Ventes.Nom,"
               "   Ventes.Prenom,  DetailVente.Reference,  DetailVente.Designation,  DetailVente.Quantite,  { fn UCASE(DetailVente.NomFamille) } AS NomFamille,"
               "   DetailVente.NomSite,  DetailVente.NomService,  DetailVente.Profile,  DetailVente.CodeFournisseur,  DetailVente.Societe,"
               "   DetailVente.PrixAchatUnit, Tailles.Taille, Ventes.NumVente FROM           Tailles INNER JOIN"
               "  ArticleEnStock ON  Tailles.NoTaille =  ArticleEnStock.Taille RIGHT OUTER JOIN  Ventes INNER JOIN"
               "  DetailVente ON  Ventes.NumVente =  DetailVente.NumVente ON  ArticleEnStock.Reference =  DetailVente.Reference"
               " GROUP BY   Ventes.TypeMouvement,  Ventes.LaDate,  Ventes.Utilisateur,  Ventes.Nom,  Ventes.Prenom,  DetailVente.Reference,"
               "     DetailVente.Designation,  DetailVente.Quantite,  DetailVente.NomFamille,  DetailVente.NomSite,  DetailVente.NomService,"
               "   DetailVente.Profile ,  DetailVente.CodeFournisseur,  DetailVente.Societe,  DetailVente.PrixAchatUnit, Tailles.Taille, Ventes.NumVente"
               " HAVING      ( Ventes.LaDate > CONVERT(DATETIME, '01/02/2026 00:00:00', 103)) AND ( Ventes.LaDate < CONVERT(DATETIME, '28/02/2026 23:59:59', 103)) AND (Ventes.Utilisateur = N'100001')"
            << "février,1,01/02/2026 00:00:01,100001,MARTIN,Jean,1000,Gant nitrile,1,GANTS,LYON,,1,,,3.2,8,501";
        QTest::addRow("profile lines (parenthesized left join, right join)")
            << "SELECT    Quota.RefArticle,  ArticleEnStock.Designation, ArticleEnStock.CodeArticle,  Quota.QtePermise,  Quota.Periodicite,  Quota.NoQota,  Quota.NoLigne,"
               "  Tailles.NoTaille ,  Tailles.Taille, Tailles.NoFamille, Tailles.Ordre FROM          (ArticleEnStock LEFT OUTER JOIN"
               "  Tailles ON  ArticleEnStock.Taille =  Tailles.NoTaille) RIGHT OUTER JOIN  Quota ON  ArticleEnStock.Reference =  Quota.RefArticle Where  ( Quota.NoQota =1)"
            << "1000,Gant nitrile,1,2,30,1,1,1,8,1,1|1002,Bouchons d'oreille,,10,7,1,2,3,T.U.,2,1";
        QTest::addRow("last 500 sales of an employee")
            << "SELECT TOP 500  dbo.Ventes.LaDate, dbo.Ventes.Utilisateur, dbo.DetailVente.Reference, dbo.DetailVente.RefFournisseur,"
               " dbo.DetailVente.Designation , dbo.DetailVente.Quantite  FROM  dbo.Ventes INNER JOIN  dbo.DetailVente ON dbo.Ventes.NumVente = dbo.DetailVente.NumVente"
               "  WHERE (dbo.Ventes.Utilisateur = N'100002') ORDER BY dbo.Ventes.LaDate DESC, dbo.DetailVente.RefFournisseur"
            << "28/02/2026 23:59:58,100002,1001,,Gant nitrile,1|15/02/2026 10:30:00,100002,1002,,Bouchons d'oreille,3";
        QTest::addRow("counter quota check, non-strict start")
            << "SELECT   TOP 100 PERCENT  Ventes.LaDate,  Ventes.Utilisateur,  DetailVente.Reference,  DetailVente.Quantite FROM    Ventes INNER JOIN"
               "  DetailVente ON  Ventes.NumVente =  DetailVente.NumVente GROUP BY  Ventes.LaDate,  Ventes.Utilisateur,  DetailVente.Reference,  DetailVente.Quantite"
               " HAVING    ( DetailVente.Reference = 1000) AND ( Ventes.LaDate >= CONVERT(DATETIME, '01/02/2026 00:00:00', 103)) AND"
               " ( Ventes.LaDate < CONVERT(DATETIME, '01/02/2026 00:00:01', 103))AND (Ventes.Utilisateur = N'100001') ORDER BY  Ventes.LaDate"
            << "01/02/2026 00:00:00,100001,1000,1";
        QTest::addRow("sales journal with masked card")
            << "SELECT     TOP 100 PERCENT NumVente, CAST(NoCBClient AS char(11)) + '*****' AS NoCBClient, CAST(Ticket AS nvarchar(3)) AS Ticket From dbo.Ventes WHERE NumVente = 999 ORDER BY NumVente DESC"
            << "999,49701234567*****,Tic|999,4970       *****,";
        QTest::addRow("sale details by header")
            << "SELECT     TOP 100 PERCENT NoVente, Designation, Quantite, DetailVente.nove  From dbo.DetailVente"
               " GROUP BY NoVente, Designation, Quantite, DetailVente.nove Having (nove = 2)"
            << "501,Gant nitrile,1,2";
        QTest::addRow("consumption view body")
            << " SELECT     TOP 100 PERCENT  DetailVente.Reference,  DetailVente.Designation, SUM( DetailVente.Quantite) AS Total"
               " FROM          DetailVente INNER JOIN   Ventes ON  DetailVente.NumVente =  Ventes.NumVente"
               " GROUP BY  DetailVente.Reference,  DetailVente.Designation,  Ventes.LaDate"
               " HAVING      ( Ventes.LaDate > CONVERT(DATETIME, '01/02/2026 00:00:00', 103)) AND ( Ventes.LaDate < CONVERT(DATETIME, '28/02/2026 23:59:59', 103))"
               " ORDER BY  DetailVente.Reference"
            << "1000,Gant nitrile,2|1001,Gant nitrile,1|1002,Bouchons d'oreille,3";
        QTest::addRow("dotation lines (joins nested three deep)")
            << "SELECT     TOP 100 PERCENT  Quota.RefArticle,  ArticleEnStock.Designation,  ArticleEnStock.Taille,  Utilisateurs.TailleMain,"
               " SUM( Quota.QtePermise) AS Quota, SUM( Quota.QtePermise) * 31 /  Quota.Periodicite AS Qte,  Quota.Periodicite,  Sites.NomSite,"
               "  Utilisateurs.Site,  Services.NomService,  Utilisateurs.Service,  Utilisateurs.NoBadge,  Utilisateurs.Nom,  Utilisateurs.Prenom,"
               "  ProfileQuota.Profile,  ArticleEnStock.PrixAchatUnit,  Familles.NomFamille,  Fournisseur.CodeFournisseur,  Fournisseur.Societe,"
               "  ProfileQuota.NoQuota ,  Familles.NoFamille,  ArticleEnStock.QteEnStock, Tailles.Taille AS NomTaille, Utilisateurs.MachineAutorise"
               " FROM           dbo.Quota INNER JOIN   dbo.Familles INNER JOIN  dbo.ArticleEnStock ON dbo.Familles.NoFamille = dbo.ArticleEnStock.Famille INNER JOIN"
               "  dbo.Fournisseur ON dbo.ArticleEnStock.NoFournisseur = dbo.Fournisseur.[No] ON  dbo.Quota.RefArticle = dbo.ArticleEnStock.Reference LEFT OUTER JOIN"
               "  dbo.Tailles ON dbo.ArticleEnStock.Taille = dbo.Tailles.NoTaille LEFT OUTER JOIN  dbo.Sites RIGHT OUTER JOIN"
               "  dbo.Services ON dbo.Sites.NoSite = dbo.Services.Site RIGHT OUTER JOIN  dbo.ProfileQuota RIGHT OUTER JOIN"
               "  dbo.Utilisateurs ON dbo.ProfileQuota.NoQuota = dbo.Utilisateurs.Quota ON dbo.Services.NoService = dbo.Utilisateurs.Service ON"
               "   dbo.Quota.NoQota = dbo.Utilisateurs.Quota"
               " GROUP BY  Quota.RefArticle,  Quota.Periodicite,  Sites.NomSite,  Services.NomService,  Utilisateurs.Service,  ArticleEnStock.Designation,"
               "  Utilisateurs.NoBadge,  ProfileQuota.Profile,  ArticleEnStock.PrixAchatUnit,  Familles.NomFamille,  Fournisseur.CodeFournisseur,"
               "  Fournisseur.Societe,  Utilisateurs.Nom,  Utilisateurs.Prenom,  ProfileQuota.NoQuota,  ArticleEnStock.Taille,"
               "  Utilisateurs.TailleMain ,  Utilisateurs.Site,  Familles.NoFamille,  ArticleEnStock.QteEnStock, Tailles.Taille, Utilisateurs.MachineAutorise"
               " HAVING (ProfileQuota.NoQuota = 1) ORDER BY  Quota.RefArticle"
            << "1000,Gant nitrile,1,2,2,2,30,LYON,1,PRODUCTION,1,100001,MARTIN,Jean,OPERATEUR,3.2,GANTS,F001,EPI DIFFUSION,1,1,40,8,";
        QTest::addRow("command text") << "Tailles where NoFamille=1 order by Ordre desc" << "2,9,1,2|1,8,1,1";
    }
    void windowQueries()
    {
        QFETCH(QString, tsql);
        QFETCH(QString, expected);
        DbFixture f;
        f.db->execute(QStringLiteral("INSERT INTO Ventes (NumVente, LaDate, NoCBClient, Ticket) VALUES "
                                     "(999, '2026-03-01 00:00:00', '4970123456789012', 'Ticket'), "
                                     "(999, '2026-03-01 00:00:00', '4970', NULL)"));
        QString text = tsql;
        if (!SqlDialect::returnsRows(text))
            text = QStringLiteral("SELECT * FROM ") + text;
        const ResultTable r = f.db->query(text);
        QStringList rows;
        for (const auto& row : r.rows) {
            QStringList cells;
            for (const QVariant& v : row)
                cells << (v.typeId() == QMetaType::QDateTime ? v.toDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"))
                                                             : v.toString());
            rows << cells.join(u',');
        }
        QCOMPARE(rows.join(u'|'), expected);
        for (const ResultColumn& c : r.columns)
            QVERIFY2(!c.name.contains(u':'), qPrintable(c.name)); // the names the text gave
    }

    void consumptionViewIsCreatedAndRead()
    {
        DbFixture f;
        f.db->execute(QStringLiteral("DROP VIEW IF EXISTS Consomations"));
        f.db->execute(QStringLiteral(
            "CREATE VIEW Consomations AS  SELECT     TOP 100 PERCENT  DetailVente.Reference,  DetailVente.Designation, SUM( DetailVente.Quantite) AS Total"
            " FROM          DetailVente INNER JOIN   Ventes ON  DetailVente.NumVente =  Ventes.NumVente"
            " GROUP BY  DetailVente.Reference,  DetailVente.Designation,  Ventes.LaDate"
            " HAVING      ( Ventes.LaDate > CONVERT(DATETIME, '01/01/2026 00:00:00', 103)) AND ( Ventes.LaDate < CONVERT(DATETIME, '31/12/2026 23:59:59', 103))"
            " ORDER BY  DetailVente.Reference"));
        const ResultTable r = f.db->query(QStringLiteral("SELECT     Reference, SUM(Total) AS GrTotal From Consomations GROUP BY Reference"));
        QCOMPARE(r.rows.size(), 3);
        QCOMPARE(r.rows[0][1].toInt(), 3); // sale 500, and the two lines of 501
    }
};

QTEST_GUILESS_MAIN(TstSqlDialect)
#include "tst_sqldialect.moc"
