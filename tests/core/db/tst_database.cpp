#include "AppException.h"
#include "DbFixture.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

class TstDatabase : public QObject {
    Q_OBJECT

    static long failureOf(Database& db, const QString& sql)
    {
        return ::failureOf([&] { db.execute(sql); });
    }

private Q_SLOTS:
    void everyTableAndColumnInTheDemoDatabase()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("demo.sqlite"));
        QProcess p;
        p.start(QStringLiteral(AUTOMAT_CMD), {QStringLiteral("init-db"), file, QStringLiteral("--demo")});
        QVERIFY(p.waitForFinished(120000));
        QCOMPARE(p.exitCode(), 0);
        auto db = Database::openFile(file);
        const QMap<QString, QString> expected = {
            {"InfoSociete", "Nom Adresse CodePostal Ville Tel Fax MotPasse AdEmail"},
            {"ArticleEnStock", "No Reference CodeArticle CodeBar RefFournisseur Designation DesignationEN Famille "
                               "Taille Prix PrixAchatUnit PrixAchatGlobal QteParPaket QteEnStock StockAlert "
                               "DelaiLivraison DateCreation DateDernierMouvement Image NoFournisseur Marque Norme "
                               "Descriptif FicheTech"},
            {"CodeArticle", "CodeArticle Reference"},
            {"MouvementStock", "No DateEntree RefProduit RefFournisseur Designation Qte NomFournisseur Commentaire"},
            {"Familles", "NoFamille NomFamille Libele Fonction"},
            {"Tailles", "NoTaille Taille NoFamille Ordre"},
            {"Fournisseur", "Nauto No CodeFournisseur Societe Adresse CodePostal Ville NomContact Tel Fax"},
            {"Machines", "NoMachine Type Chargement NbEmplacement NbPorte Location Service"},
            {"ConfigMachines", "NoMachine Etage ReferenceArticle CodeArticle Designation"},
            {"EmplacementsMachine1", "NoEmpl NoMachine Etage Colonne Reference"},
            {"TRemplissageMachine", "Etage Reference CodeArticle NbUnite Aremplir NumMach"},
            {"ARemplissageMachine", "Image CodeArticle Etage Picture NumMach Reference NbUnite Aremplir Designation"},
            {"Ventes", "No NumVente LaDate TypeMouvement IdentMachine Utilisateur Nom Prenom Total NoCBClient "
                       "NoRemiseTelecollecte DateTelecollecte Ticket"},
            {"DetailVente", "nove NoVente NumVente Reference RefProduit RefFournisseur CodeArticle Designation "
                            "Quantite Montant EcoTaxe TVA PrixAchatUnit Marque NoIMEI NoSIM EAN13recharge "
                            "NoSerieRecharge NoCommande NoFamille NomFamille Taille NoSite NomSite NoService "
                            "NomService Profile CodeFournisseur Societe"},
            {"FichierTransfer", "NomFichier"},
            {"Utilisateurs", "NoBadge NoUtilisateur Nom Prenom MatriculeSalarie Site Service Quota TailleChaussure "
                             "TailleMain MachineAutorise"},
            {"Sites", "NoSite NomSite Adresse Info"},
            {"Services", "NoService NomService Site Info"},
            {"ProfileQuota", "NoQuota Profile"},
            {"Quota", "NoLigne NoQota RefArticle QtePermise Periodicite"},
            {"DotationEnCours", "NoSite NomSite NoService NomService NoQuota Profile"},
            {"BadgeMaintenance", "NoBadge"},
            {"InfoEtat", "Titre Periode"},
            {"StockGlobal", "Reference RefFournisseur Designation Taille CodeArticle NomFamille PrixAchatUnit "
                            "ValeurStock QteEnStock QteEnMachine QteGlobal StockAlert Societe Adresse CodePostal "
                            "Ville Tel Fax NomContact CodeFournisseur"},
            {"Stock", "Reference RefFournisseur Designation Norme Descriptif FicheTech QteEnStock Image "
                      "PrixAchatUnit NomFamille CodeFournisseur Societe Taille CodeArticle Famille"},
            {"GrUtilisateur", "NoBadge NoUtilisateur Nom Prenom MatriculeSalarie Site Service Quota TailleChaussure "
                              "TailleMain MachineAutorise NoSite NomSite NoService NomService Profile TailleCh "
                              "TailleM OrdreM"},
        };
        for (auto it = expected.begin(); it != expected.end(); ++it) {
            const QStringList have = db->columnsOf(it.key());
            for (const QString& c : it.value().split(u' '))
                QVERIFY2(have.contains(c), qPrintable(it.key() + u'.' + c));
        }
        // CA keeps the order of its columns.
        QCOMPARE(db->columnsOf(QStringLiteral("CA")).join(u' '),
                 QStringLiteral("NomMois TypeMouvement LaDate Utilisateur Nom Prenom Reference Designation Quantite "
                                "NomFamille NomSite NomService Profile CodeFournisseur Societe PrixAchatUnit Taille "
                                "RefFournisseur"));
        // The demo data fills what the windows need.
        for (const char* t : {"InfoSociete", "ArticleEnStock", "Machines", "ConfigMachines", "EmplacementsMachine1",
                              "Utilisateurs", "Ventes", "DetailVente", "Quota", "Tailles"})
            QVERIFY2(db->query(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(t))).rows[0][0].toInt() > 0, t);
        QVERIFY(db->query(QStringLiteral("SELECT COUNT(*) FROM ArticleEnStock")).rows[0][0].toInt() >= 150);
        QVERIFY(db->query(QStringLiteral("SELECT COUNT(*) FROM DetailVente")).rows[0][0].toInt() >= 20000);
        QCOMPARE(db->query(QStringLiteral("SELECT COUNT(DISTINCT Chargement) FROM Machines")).rows[0][0].toInt(), 3);
        QVERIFY(db->query(QStringLiteral("SELECT COUNT(*) FROM Tailles WHERE Taille = 'T.U.'")).rows[0][0].toInt() > 0);
        // A second init without --force refuses to overwrite.
        p.start(QStringLiteral(AUTOMAT_CMD), {QStringLiteral("init-db"), file});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 1);
    }

    void serverScriptHasTheSameObjects()
    {
        DbFixture f(false);
        const QRegularExpression created(QStringLiteral(R"(CREATE\s+(TABLE|VIEW|PROCEDURE)\s+(?:dbo\.)?(\w+))"),
                                         QRegularExpression::CaseInsensitiveOption);
        QSet<QString> server;
        for (auto it = created.globalMatch(Database::sqlServerSchema()); it.hasNext();)
            server.insert(it.next().captured(2).toLower());
        QSet<QString> embedded = {QStringLiteral("etatca"), QStringLiteral("remplissagemachine"),
                                  QStringLiteral("presentationarticle")};
        for (const auto& row : f.db->query(QStringLiteral("SELECT name FROM sqlite_master WHERE type IN ('table', 'view') "
                                                          "AND name NOT LIKE 'sqlite_%'")).rows)
            embedded.insert(row[0].toString().toLower());
        QCOMPARE(server, embedded);
    }

    void sqlCommand()
    {
        DbFixture f;
        QFile ini(f.dir.filePath(QStringLiteral("automat.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Base de donnée]\nFichier=test.sqlite\n");
        ini.close();
        QProcess p;
        p.start(QStringLiteral(AUTOMAT_CMD), {QStringLiteral("sql"), QStringLiteral("--dossier"), f.dir.path(),
                                              QStringLiteral("SELECT TOP 1 NoBadge, Nom FROM dbo.Utilisateurs ORDER BY NoBadge DESC")});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()), QStringLiteral("NoBadge\tNom\n100003\tSANS\n"));
        p.start(QStringLiteral(AUTOMAT_CMD), {QStringLiteral("sql"), QStringLiteral("--dossier"), f.dir.path(),
                                              QStringLiteral("UPDATE Sites SET Info = N'ok'")});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()), QStringLiteral("2 ligne(s) modifiée(s).\n"));
        p.start(QStringLiteral(AUTOMAT_CMD), {QStringLiteral("sql"), QStringLiteral("--dossier"), f.dir.path(),
                                              QStringLiteral("DELETE FROM Sites")});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 1);
        QVERIFY(QString::fromUtf8(p.readAllStandardError()).startsWith(QStringLiteral("N°: -2147217900 ")));
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<long>("number");
        QTest::addRow("duplicate bar code")
            << "UPDATE ArticleEnStock SET CodeBar = '3760123400015' WHERE Reference = 1001" << Database::Duplicate;
        QTest::addRow("duplicate article code")
            << "UPDATE ArticleEnStock SET CodeArticle = 1 WHERE Reference = 1002" << Database::Duplicate;
        QTest::addRow("duplicate badge")
            << "INSERT INTO Utilisateurs (NoBadge, Nom) VALUES ('100001', 'X')" << Database::Duplicate;
        QTest::addRow("duplicate profile, other case")
            << "INSERT INTO ProfileQuota (Profile) VALUES ('operateur')" << Database::Duplicate;
        QTest::addRow("duplicate size in its family")
            << "INSERT INTO Tailles (Taille, NoFamille, Ordre) VALUES ('8', 1, 3)" << Database::Duplicate;
        QTest::addRow("duplicate site")
            << "INSERT INTO Sites (NomSite) VALUES ('Lyon')" << Database::Duplicate;
        QTest::addRow("duplicate service in its site")
            << "INSERT INTO Services (NomService, Site) VALUES ('QUALITE', 1)" << Database::Duplicate;
        QTest::addRow("file names ignore case")
            << "INSERT INTO FichierTransfer (NomFichier) VALUES ('a.xls'); INSERT INTO FichierTransfer (NomFichier) VALUES ('A.XLS')"
            << Database::Duplicate;
        QTest::addRow("family used by articles") << "DELETE FROM Familles WHERE NoFamille = 1" << Database::RefusedWrite;
        QTest::addRow("size used by an article") << "DELETE FROM Tailles WHERE NoTaille = 3" << Database::RefusedWrite;
        QTest::addRow("supplier used by articles") << "DELETE FROM Fournisseur WHERE Nauto = 1" << Database::RefusedWrite;
        QTest::addRow("site used by services") << "DELETE FROM Sites WHERE NoSite = 2" << Database::RefusedWrite;
        QTest::addRow("service used by employees") << "DELETE FROM Services WHERE NoService = 1" << Database::RefusedWrite;
        QTest::addRow("profile with lines") << "DELETE FROM ProfileQuota WHERE NoQuota = 1" << Database::RefusedWrite;
        QTest::addRow("employee with sales") << "DELETE FROM Utilisateurs WHERE NoBadge = '100001'" << Database::RefusedWrite;
        QTest::addRow("article in a profile") << "DELETE FROM ArticleEnStock WHERE Reference = 1002" << Database::RefusedWrite;
        QTest::addRow("article in a machine slot") << "DELETE FROM ArticleEnStock WHERE Reference = 1000" << Database::RefusedWrite;
        QTest::addRow("comment over 50 characters")
            << "INSERT INTO MouvementStock (Commentaire) VALUES ('" + QString(51, u'x') + "')" << Database::RefusedWrite;
        QTest::addRow("unknown table") << "DELETE FROM Inconnue" << Database::RefusedWrite;
        QTest::addRow("unknown column") << "UPDATE Ventes SET Inconnue = 1" << Database::RefusedWrite;
        QTest::addRow("invalid date") << "UPDATE Ventes SET LaDate = CONVERT(DATETIME, '30/02/2026 00:00:00', 103)"
                                      << Database::RefusedWrite;
    }
    void refusals()
    {
        QFETCH(QString, sql);
        QFETCH(long, number);
        DbFixture f;
        QCOMPARE(failureOf(*f.db, sql), number);
    }

    void allowedDeletions()
    {
        DbFixture f;
        // Unused rows go; an employee without sales goes; an article only in sales goes.
        QCOMPARE(f.db->execute(QStringLiteral("DELETE FROM ProfileQuota WHERE NoQuota = 2")), 1);
        QCOMPARE(f.db->execute(QStringLiteral("DELETE FROM Utilisateurs WHERE NoBadge = '100003'")), 1);
        QCOMPARE(f.db->execute(QStringLiteral("DELETE FROM ArticleEnStock WHERE Reference = 1003")), 1);
    }

    void counterSalesGetANewNumber()
    {
        DbFixture f;
        f.db->execute(QStringLiteral("INSERT INTO Ventes (LaDate, TypeMouvement) VALUES ('2026-03-01 10:00:00', 3)"));
        f.db->execute(QStringLiteral("INSERT INTO Ventes (LaDate, TypeMouvement) VALUES ('2026-03-01 10:01:00', 3)"));
        f.db->execute(QStringLiteral("INSERT INTO Ventes (NumVente, LaDate, TypeMouvement) VALUES (42, '2026-03-01 10:02:00', 1)"));
        const ResultTable r = f.db->query(QStringLiteral("SELECT NumVente FROM Ventes WHERE LaDate >= '2026-03-01' ORDER BY LaDate"));
        QCOMPARE(r.rows.size(), 3);
        QCOMPARE(r.rows[0][0].toInt(), 505);
        QCOMPARE(r.rows[1][0].toInt(), 506);
        QCOMPARE(r.rows[2][0].toInt(), 42);
    }

    void etatCA()
    {
        DbFixture f;
        f.db->execute(QStringLiteral("INSERT INTO CA (Nom) VALUES ('ancienne ligne')"));
        f.db->execute(QStringLiteral("EXEC EtatCA '01/02/2026 00:00:00' ,'28/02/2026 23:59:59'"));
        const ResultTable r = f.db->query(QStringLiteral("SELECT NomMois, Utilisateur, Quantite, Profile, LaDate FROM CA ORDER BY LaDate"));
        // 00:00:00 of the first day and 23:59:59 of the last are out; the two identical
        // lines of sale 501 make one row.
        QCOMPARE(r.rows.size(), 3);
        QCOMPARE(r.rows[0][0].toString(), QStringLiteral("février"));
        QCOMPARE(r.rows[0][4].toDateTime(), QDateTime(QDate(2026, 2, 1), QTime(0, 0, 1)));
        QCOMPARE(r.rows[0][3].toString(), QStringLiteral("OPERATEUR"));
        QVERIFY(r.rows[1][3].isNull());
        QCOMPARE(r.rows[2][4].toDateTime(), QDateTime(QDate(2026, 2, 28), QTime(23, 59, 58)));

        // An invalid date fails as on the server and leaves CA as it was.
        QCOMPARE(failureOf(*f.db, QStringLiteral("EXEC EtatCA '31/02/2026 00:00:00' ,'28/02/2026 23:59:59'")),
                 Database::RefusedWrite);
        QCOMPARE(f.db->query(QStringLiteral("SELECT COUNT(*) FROM CA")).rows[0][0].toInt(), 3);
        QCOMPARE(failureOf(*f.db, QStringLiteral("EXEC Inconnue 1")), Database::RefusedWrite);
    }

    void machineProcedures()
    {
        DbFixture f;
        f.db->execute(QStringLiteral("INSERT INTO TRemplissageMachine (Etage, Reference, CodeArticle, NbUnite, Aremplir, NumMach) "
                                     "VALUES (1, 1000, 1, 2, 0, 1), (2, NULL, NULL, 0, 2, 1), (1, 1001, 2, 0, 5, 9)"));
        ResultTable r = f.db->query(QStringLiteral("EXEC RemplissageMachine 1"));
        QCOMPARE(r.rows.size(), 2);
        QCOMPARE(r.rows[0][r.columnIndex(QStringLiteral("Designation"))].toString(), QStringLiteral("Gant nitrile"));
        for (const char* c : {"Image", "CodeArticle", "Etage", "NbUnite", "Aremplir"})
            QVERIFY2(r.columnIndex(QString::fromLatin1(c)) >= 0, c);
        // Every column the procedures return has its place in ARemplissageMachine.
        const QStringList table = f.db->columnsOf(QStringLiteral("ARemplissageMachine"));
        for (const ResultColumn& c : r.columns)
            QVERIFY2(table.contains(c.name, Qt::CaseInsensitive), qPrintable(c.name));
        r = f.db->query(QStringLiteral("EXEC PresentationArticle 1"));
        QCOMPARE(r.rows.size(), 1);
        for (const ResultColumn& c : r.columns)
            QVERIFY2(table.contains(c.name, Qt::CaseInsensitive), qPrintable(c.name));
        QCOMPARE(failureOf(*f.db, QStringLiteral("EXEC RemplissageMachine 'x'")), Database::RefusedWrite);
    }

    void employeeViewTakesWrites()
    {
        DbFixture f;
        f.db->execute(QStringLiteral("INSERT INTO GrUtilisateur (NoBadge, Nom, Prenom, Site) VALUES ('200001', 'NOUVEAU', 'Léa', 1)"));
        f.db->execute(QStringLiteral("UPDATE GrUtilisateur SET Prenom = 'Lou' WHERE NoBadge = '200001'"));
        const ResultTable r = f.db->query(QStringLiteral("SELECT Prenom, NomSite, TailleM, OrdreM FROM GrUtilisateur WHERE NoBadge = '200001'"));
        QCOMPARE(r.rows.size(), 1);
        QCOMPARE(r.rows[0][0].toString(), QStringLiteral("Lou"));
        QCOMPARE(r.rows[0][1].toString(), QStringLiteral("LYON"));
        const ResultTable m = f.db->query(QStringLiteral("SELECT TailleM, OrdreM FROM GrUtilisateur WHERE NoBadge = '100001'"));
        QCOMPARE(m.rows[0][0].toString(), QStringLiteral("9"));
        QCOMPARE(m.rows[0][1].toInt(), 2);
    }

    void stockViews()
    {
        DbFixture f;
        const ResultTable r = f.db->query(QStringLiteral("SELECT Reference, QteEnMachine, QteGlobal, ValeurStock, NomFamille FROM StockGlobal ORDER BY Reference"));
        QCOMPARE(r.rows.size(), 4); // the article without family or size is listed too
        QCOMPARE(r.rows[0][1].toInt(), 2);
        QCOMPARE(r.rows[0][2].toInt(), 42);
        QCOMPARE(r.rows[0][3].toDouble(), 3.2 * 42);
        QVERIFY(r.rows[3][4].isNull());
    }

    void transactionRollsBack()
    {
        DbFixture f;
        {
            Database::Transaction tx(*f.db);
            f.db->execute(QStringLiteral("INSERT INTO Sites (NomSite) VALUES ('TEMPORAIRE')"));
        }
        QCOMPARE(f.db->query(QStringLiteral("SELECT COUNT(*) FROM Sites WHERE NomSite = 'TEMPORAIRE'")).rows[0][0].toInt(), 0);
        Database::Transaction tx(*f.db);
        f.db->execute(QStringLiteral("INSERT INTO Sites (NomSite) VALUES ('GARDE')"));
        tx.commit();
        QCOMPARE(f.db->query(QStringLiteral("SELECT COUNT(*) FROM Sites WHERE NomSite = 'GARDE'")).rows[0][0].toInt(), 1);
    }

    void unreachableFiles()
    {
        QTemporaryDir dir;
        try {
            Database::openFile(dir.filePath(QStringLiteral("absent.sqlite")));
            QFAIL("a missing file must not open");
        } catch (const AppException& e) {
            QCOMPARE(e.number(), Database::Unreachable);
        }
        const QString corrupt = dir.filePath(QStringLiteral("corrupt.sqlite"));
        QFile c(corrupt);
        QVERIFY(c.open(QIODevice::WriteOnly));
        c.write(QByteArray(4096, '\x5a'));
        c.close();
        try {
            Database::openFile(corrupt);
            QFAIL("a corrupt file must not open");
        } catch (const AppException& e) {
            QCOMPARE(e.number(), Database::Unreachable);
            QVERIFY(!e.description().isEmpty());
        }
    }

    void lockedDatabase()
    {
        DbFixture f;
        auto other = Database::openFile(f.path);
        other->begin(); // BEGIN IMMEDIATE: this connection holds the write lock
        other->execute(QStringLiteral("INSERT INTO Sites (NomSite) VALUES ('VERROU')"));
        QCOMPARE(failureOf(*f.db, QStringLiteral("INSERT INTO Sites (NomSite) VALUES ('ATTENTE')")), Database::Unreachable);
        other->rollback();
        QCOMPARE(failureOf(*f.db, QStringLiteral("INSERT INTO Sites (NomSite) VALUES ('ATTENTE')")), 0L);
    }
};

QTEST_GUILESS_MAIN(TstDatabase)
#include "tst_database.moc"
