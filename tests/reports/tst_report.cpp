#include "../core/db/DbFixture.h"
#include "ReportLayout.h"
#include "ReportTemplate.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QFile>
#include <QProcess>
#include <QtTest>

// The report engine: templates, layout compared with golden files, PDF read back by
// poppler's pdftotext.
class TstReport : public QObject {
    Q_OBJECT

    static QString rpt(const char* name) { return QStringLiteral(AUTOMAT_TEST_DATA "/../../../rpt/") + QLatin1String(name); }

    static QString readText(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    static QList<ResultTable> sources(Database& db, const QStringList& names)
    {
        QList<ResultTable> tables;
        for (const QString& n : names)
            tables << db.query(QStringLiteral("SELECT * FROM ") + n);
        return tables;
    }

    // The layout of a shipped template over tables of the database.
    static ReportLayout layoutOf(const char* templateName, Database& db, const QStringList& names)
    {
        ReportTemplate t;
        QString error;
        ReportLayout layout;
        if (!ReportTemplate::parse(rpt(templateName), &t, &error) || !ReportLayout::build(t, sources(db, names), &layout, &error))
            qWarning("%s", qPrintable(error));
        return layout;
    }

    // Compares with the golden file; AUTOMAT_UPDATE_GOLDEN=1 rewrites it.
    static void golden(const QString& actual, const QString& name)
    {
        const QString path = QStringLiteral(AUTOMAT_TEST_DATA "/") + name;
        if (qEnvironmentVariableIntValue("AUTOMAT_UPDATE_GOLDEN")) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(actual.toUtf8());
        }
        QCOMPARE(actual, readText(path));
    }

private Q_SLOTS:
    void templateErrors_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::addRow("unknown section") << "[rapport]\ntables = CA\n[pied de page]\n" << "modele.RPT, ligne 3 : section inconnue « pied de page »";
        QTest::addRow("no equals sign") << "[rapport]\ntables CA\n" << "modele.RPT, ligne 2 : « clé = valeur » attendu";
        QTest::addRow("bad width") << "[rapport]\ntables = CA\n[colonnes]\ncolonne = A | B | large\n" << "modele.RPT, ligne 4 : largeur « large » incorrecte";
        QTest::addRow("bad alignment") << "[rapport]\ntables = CA\n[entete]\nligne = x | gras | milieu\n" << "modele.RPT, ligne 4 : alignement « milieu » inconnu";
        QTest::addRow("unclosed section") << "[rapport\n" << "modele.RPT, ligne 1 : section mal fermée";
        QTest::addRow("key outside a section") << "tables = CA\n" << "modele.RPT, ligne 1 : clé « tables » hors de toute section";
        QTest::addRow("no table") << "[rapport]\npage = A4\n" << "modele.RPT : la section [rapport] ne nomme aucune table";
        QTest::addRow("group without field") << "[rapport]\ntables = CA\n[groupe]\nentete = x\n" << "modele.RPT : le groupe 1 n'a pas de champ";
        QTest::addRow("other page") << "[rapport]\ntables = CA\npage = A3\n" << "modele.RPT, ligne 3 : page « A3 » : seule la page A4 est connue";
    }
    void templateErrors()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        ReportTemplate t;
        QString error;
        QVERIFY(!ReportTemplate::parseText(text, QStringLiteral("modele.RPT"), &t, &error));
        QCOMPARE(error, message);
    }

    void groupedReportLayout()
    {
        DbFixture f;
        f.db->execute(QStringLiteral("INSERT INTO InfoEtat (Titre, Periode) VALUES ('Consommations par Sites', 'Période du 01/02/2026 au 28/02/2026')"));
        f.db->execute(QStringLiteral("EXEC EtatCA '01/02/2026 00:00:00' ,'28/02/2026 23:59:59'"));
        const ReportLayout layout = layoutOf("ConsParSite.RPT", *f.db, {QStringLiteral("CA"), QStringLiteral("InfoEtat"), QStringLiteral("InfoSociete")});
        QVERIFY(!layout.pages.isEmpty());
        golden(layout.toText(), QStringLiteral("ConsParSite.layout"));
    }

    void monthlyChartLayout()
    {
        DbFixture f;
        f.db->execute(QStringLiteral("INSERT INTO InfoEtat (Titre, Periode) VALUES ('Consommations Mensuel', 'Période du 01/01/2026 au 31/03/2026')"));
        f.db->execute(QStringLiteral("INSERT INTO Ventes (NumVente, LaDate, Utilisateur) VALUES (700, '2026-03-05 09:00:00', '100002'), (701, '2026-01-20 09:00:00', '100001')"));
        f.db->execute(QStringLiteral("INSERT INTO DetailVente (NumVente, Reference, Designation, Quantite) VALUES (700, 1000, 'Gant nitrile', 6), (701, 1002, 'Bouchons', 2)"));
        f.db->execute(QStringLiteral("EXEC EtatCA '01/01/2026 00:00:00' ,'31/03/2026 23:59:59'"));
        const ReportLayout layout = layoutOf("ConsParMoisGrap.RPT", *f.db, {QStringLiteral("CA"), QStringLiteral("InfoEtat"), QStringLiteral("InfoSociete")});
        QVERIFY(!layout.pages.isEmpty());
        const QString text = layout.toText();
        // Three months in date order, the tallest bar for February (1 + 1 + 3 + 2 + 1 = 8).
        QVERIFY(text.indexOf(QStringLiteral("« janvier »")) < text.indexOf(QStringLiteral("« février »")));
        QVERIFY(text.indexOf(QStringLiteral("« février »")) < text.indexOf(QStringLiteral("« mars »")));
        golden(text, QStringLiteral("ConsParMoisGrap.layout"));
    }

    void labelSheetLayout()
    {
        DbFixture f;
        f.db->execute(QStringLiteral("INSERT INTO InfoEtat (Titre) VALUES ('Etiquette - Avery L7161 - 63,5 x 46,6 cm')"));
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(image.save(&buffer, "JPEG", 90));
        for (int i = 0; i < 20; ++i)
            f.db->executeNative(QStringLiteral("INSERT INTO ARemplissageMachine (NumMach, Etage, Reference, CodeArticle, Designation, Taille, CodeBar, Picture) "
                                               "VALUES (1, ?, ?, ?, ?, 'T.U.', ?, ?)"),
                                {i + 1, 1000 + i, QStringLiteral("%1").arg(i + 1, 2, 10, QChar(u'0')), QStringLiteral("Article %1").arg(i + 1),
                                 i % 3 == 0 ? QVariant(QStringLiteral("4006381333931")) : (i % 3 == 1 ? QVariant(QStringLiteral("4AKGDSL*dddjdb+")) : QVariant()),
                                 i == 4 ? QVariant(QByteArray("pas une image")) : QVariant(jpeg)});
        const ReportLayout layout = layoutOf("FicheImageProduit.RPT", *f.db,
                                             {QStringLiteral("ARemplissageMachine"), QStringLiteral("InfoEtat"), QStringLiteral("InfoSociete")});
        QCOMPARE(layout.pages.size(), 2); // 18 labels on a sheet
        int pictures = 0;
        for (const auto& p : layout.pages)
            for (const auto& it : p.items)
                pictures += it.kind == ReportLayout::Item::Picture;
        QCOMPARE(pictures, 19); // the one that is not a picture is left out
        golden(layout.toText(), QStringLiteral("FicheImageProduit.layout"));
        QString pdfError;
        QTemporaryDir dir;
        QVERIFY(layout.writePdf(dir.filePath(QStringLiteral("etiquettes.pdf")), &pdfError));
    }

    void ean13Bars()
    {
        const QString m = ReportLayout::ean13Modules(QStringLiteral("4006381333931"));
        QCOMPARE(m.size(), 95);
        QVERIFY(m.startsWith(QStringLiteral("101")) && m.endsWith(QStringLiteral("101")));
        QCOMPARE(m.mid(45, 5), QStringLiteral("01010"));
        // The first digit 4 sets the parity L G L L G G of the left half: digit 0 in G is 0100111.
        QCOMPARE(m.mid(3, 7), QStringLiteral("0001101"));  // 0 in L
        QCOMPARE(m.mid(10, 7), QStringLiteral("0100111")); // 0 in G
        // The barcode-font text of the same code draws the same bars.
        QCOMPARE(ReportLayout::ean13Modules(QStringLiteral("4AKGDSL*dddjdb+")), m);
        QCOMPARE(ReportLayout::ean13Modules(QStringLiteral("12345")), QString());
    }

    void manyLinesMakePagesWithNumbers()
    {
        ReportTemplate t;
        QString error;
        QVERIFY(ReportTemplate::parseText(QStringLiteral("[rapport]\ntables = T\n[colonnes]\ncolonne = N | N | 20 | droite | 0\n"
                                                         "[total]\ntexte = Total\nsommes = N\n"),
                                          QStringLiteral("t.RPT"), &t, &error));
        ResultTable data;
        data.columns = {ResultColumn{QStringLiteral("N"), false, QString(), QString()}};
        for (int i = 1; i <= 200; ++i)
            data.rows.append({QVariant(i)});
        ReportLayout layout;
        QVERIFY(ReportLayout::build(t, {data}, &layout, &error));
        QVERIFY(layout.pages.size() > 1);
        const QString text = layout.toText();
        QVERIFY(text.contains(QStringLiteral("« Page 1 / %1 »").arg(layout.pages.size())));
        QVERIFY(text.contains(QStringLiteral("« 20100 »"))); // 1 + ... + 200
        // Every item stays inside its page.
        for (const auto& p : layout.pages)
            for (const auto& it : p.items)
                QVERIFY(it.rect.bottom() <= layout.pageSize.height());
    }

    void stockListLayout()
    {
        DbFixture f;
        f.db->execute(QStringLiteral("INSERT INTO InfoEtat (Titre) VALUES ('Articles en stock')"));
        // A designation of 2,000 characters stays one line, cut when drawn.
        f.db->execute(QStringLiteral("UPDATE ArticleEnStock SET Designation = '%1' WHERE Reference = 1003").arg(QString(2000, u'x')));
        const ReportLayout layout = layoutOf("StockParRef.RPT", *f.db, {QStringLiteral("StockGlobal"), QStringLiteral("InfoEtat"), QStringLiteral("InfoSociete")});
        QCOMPARE(layout.pages.size(), 1);
        golden(layout.toText(), QStringLiteral("StockParRef.layout"));
        QString error;
        QTemporaryDir dir;
        QVERIFY(layout.writePdf(dir.filePath(QStringLiteral("stock.pdf")), &error));
    }

    void emptyTableKeepsItsHeading()
    {
        DbFixture f(false);
        f.db->execute(QStringLiteral("INSERT INTO InfoSociete (Nom) VALUES ('SOCIETE VIDE'); INSERT INTO InfoEtat (Titre) VALUES ('Articles en stock')"));
        ReportTemplate t;
        QString error;
        QVERIFY(ReportTemplate::parse(rpt("StockParRef.RPT"), &t, &error));
        ReportLayout layout;
        QVERIFY2(ReportLayout::build(t, sources(*f.db, {QStringLiteral("StockGlobal"), QStringLiteral("InfoEtat"), QStringLiteral("InfoSociete")}), &layout, &error),
                 qPrintable(error));
        QCOMPARE(layout.pages.size(), 1);
        const QString text = layout.toText();
        QVERIFY(text.contains(QStringLiteral("« SOCIETE VIDE »")));
        QVERIFY(text.contains(QStringLiteral("« Articles en stock »")));
        QVERIFY(text.contains(QStringLiteral("« Total »")));
    }

    void unknownFieldIsNamed()
    {
        DbFixture f;
        ReportTemplate t;
        QString error;
        QVERIFY(ReportTemplate::parse(rpt("ConsParSite.RPT"), &t, &error));
        ReportLayout layout;
        // StockGlobal has no NomSite: the template does not fit that table.
        QVERIFY(!ReportLayout::build(t, sources(*f.db, {QStringLiteral("StockGlobal")}), &layout, &error));
        QVERIFY2(error.contains(QStringLiteral("ConsParSite.RPT")) && error.contains(QStringLiteral("« LaDate »")), qPrintable(error));
    }

    void pdfFromTheCommandLine()
    {
        DbFixture f;
        QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("RPT SQL")));
        QVERIFY(QFile::copy(rpt("ConsParSite.RPT"), f.dir.filePath(QStringLiteral("RPT SQL/consparsite.rpt"))));
        QFile ini(f.dir.filePath(QStringLiteral("automat.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Base de donnée]\nFichier=test.sqlite\n");
        ini.close();
        const QString pdf = f.dir.filePath(QStringLiteral("rapport.pdf"));
        QProcess p;
        p.start(QStringLiteral(AUTOMAT_CMD), {QStringLiteral("rapport"), QStringLiteral("ConsParSite.RPT"), QStringLiteral("--table"), QStringLiteral("CA"),
                                              QStringLiteral("--du"), QStringLiteral("01/02/2026"), QStringLiteral("--au"), QStringLiteral("28/02/2026"),
                                              QStringLiteral("--titre"), QStringLiteral("Consommations par Sites"), QStringLiteral("--pdf"), pdf,
                                              QStringLiteral("--dossier"), f.dir.path()});
        QVERIFY(p.waitForFinished(60000));
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(p.waitForFinished(30000));
        const QString text = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(text.contains(QStringLiteral("Consommations par Sites")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Période du 01/02/2026 au 28/02/2026")));
        QVERIFY(text.contains(QStringLiteral("Total LYON")));
        QVERIFY(text.contains(QStringLiteral("SOCIETE TEST")));
        // The title and the period were written into InfoEtat.
        const ResultTable info = f.db->query(QStringLiteral("SELECT Titre, Periode FROM InfoEtat"));
        QCOMPARE(info.rows.size(), 1);
        QCOMPARE(info.rows[0][1].toString(), QStringLiteral("Période du 01/02/2026 au 28/02/2026"));

        // A missing template: a clear message, no PDF.
        const QString none = f.dir.filePath(QStringLiteral("aucun.pdf"));
        p.start(QStringLiteral(AUTOMAT_CMD), {QStringLiteral("rapport"), QStringLiteral("Absent.RPT"), QStringLiteral("--table"), QStringLiteral("CA"),
                                              QStringLiteral("--pdf"), none, QStringLiteral("--dossier"), f.dir.path()});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 1);
        QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("Absent.RPT")));
        QVERIFY(!QFile::exists(none));
    }

    void pdfIntoAMissingFolderFails()
    {
        ReportLayout layout;
        layout.pageSize = QSizeF(210, 297);
        layout.pages.append(ReportLayout::Page());
        QString error;
        QVERIFY(!layout.writePdf(QStringLiteral("/nonexistent/dossier/r.pdf"), &error));
        QVERIFY(error.contains(QStringLiteral("r.pdf")));
    }
};

QTEST_MAIN(TstReport)
#include "tst_report.moc"
