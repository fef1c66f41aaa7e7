#include "../core/db/DbFixture.h"
#include "AppSettings.h"
#include "ArticleCatalogue.h"
#include "Recordset.h"
#include "ScriptedUi.h"

#include <QtTest>

class TstArticleCatalogue : public QObject {
    Q_OBJECT

    static int listReference(ArticleCatalogue& c) { return c.list().value(QStringLiteral("Reference")).toInt(); }

private Q_SLOTS:
    void firstArticleGetsReference1000()
    {
        DbFixture f(false);
        AppSettings s;
        ScriptedUi ui;
        ArticleCatalogue c(*f.db, ui, s);
        c.FenetreActivee = true;
        QCOMPARE(c.AjouterArticle(), 1000);
        QCOMPARE(c.AjouterArticle(), 1001);
        QCOMPARE(listReference(c), 1001); // the list goes to the new article
        QCOMPARE(c.card().value(QStringLiteral("Reference")).toInt(), 1001);
        QCOMPARE(c.card().value(QStringLiteral("DateCreation")).toDateTime().date(), QDate::currentDate());
    }

    void search_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("scanning");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("found"); // 0: nothing, the list stays on its row
        QTest::addRow("reference") << 1 << false << "1002" << 1002;
        QTest::addRow("reference prefix is not a match") << 1 << false << "100" << 0;
        QTest::addRow("letters in mode 1 give 0") << 1 << false << "abc" << 0;
        QTest::addRow("designation, any case") << 2 << false << "bouch" << 1002;
        QTest::addRow("designation with apostrophe") << 2 << false << "Bouchons d'o" << 1002;
        QTest::addRow("star typed is literal") << 2 << false << "Gant*" << 0;
        QTest::addRow("percent typed is literal") << 2 << false << "%" << 0;
        QTest::addRow("500 characters") << 2 << false << QString(500, u'x') << 0;
        QTest::addRow("article code") << 3 << false << "2" << 1001;
        QTest::addRow("scanned bar code, whatever the mode") << 1 << true << "@3760123400" << 1000;
        QTest::addRow("scanned 200 characters") << 1 << true << QString(200, u'9') << 0;
    }
    void search()
    {
        QFETCH(int, mode);
        QFETCH(bool, scanning);
        QFETCH(QString, text);
        QFETCH(int, found);
        DbFixture f;
        AppSettings s;
        ScriptedUi ui;
        ArticleCatalogue c(*f.db, ui, s);
        c.FenetreActivee = true;
        c.AppliquerModeRecherche(mode);
        c.list().setPosition(0);
        const int before = listReference(c);
        c.LectureCodeBarre = scanning;
        QCOMPARE(c.RechercherArticle(text), found != 0);
        QCOMPARE(listReference(c), found ? found : before);
        if (found)
            QCOMPARE(c.card().value(QStringLiteral("Reference")).toInt(), found);
        QVERIFY(ui.shown().isEmpty());
    }

    void searchRefinesForward()
    {
        DbFixture f;
        AppSettings s;
        ScriptedUi ui;
        ArticleCatalogue c(*f.db, ui, s);
        c.FenetreActivee = true;
        c.AppliquerModeRecherche(2);
        QVERIFY(c.RechercherArticle(QStringLiteral("G")));
        const int first = listReference(c);
        QVERIFY(c.RechercherArticle(QStringLiteral("Ga")));
        QCOMPARE(listReference(c), first); // the current row is included
    }

    void codeCreation()
    {
        DbFixture f; // the pool holds 1 (article 1000), 2 (article 1001) and 7 (free)
        f.db->execute(QStringLiteral("UPDATE ArticleEnStock SET CodeArticle = NULL WHERE Reference = 1001"));
        AppSettings s;
        ScriptedUi ui;
        ArticleCatalogue c(*f.db, ui, s);
        c.CreerCodesArticles(QStringLiteral("2001"));
        c.CreerCodesArticles(QStringLiteral("99999999999"));
        c.CreerCodesArticles(QStringLiteral("douze"));
        QCOMPARE(f.db->query(QStringLiteral("SELECT COUNT(*) FROM CodeArticle")).rows[0][0].toInt(), 3);
        c.CreerCodesArticles(QStringLiteral("5"));
        const ResultTable pool = f.db->query(QStringLiteral("SELECT CodeArticle, Reference FROM CodeArticle ORDER BY CodeArticle"));
        QStringList rows;
        for (const auto& r : pool.rows)
            rows << r[0].toString() + u':' + (r[1].isNull() ? QStringLiteral("libre") : r[1].toString());
        QCOMPARE(rows.join(u' '), QStringLiteral("1:1000 2:libre 3:libre 4:libre 5:libre 7:libre"));

        DbFixture empty(false);
        ArticleCatalogue e(*empty.db, ui, s);
        e.CreerCodesArticles(QStringLiteral("5"));
        QCOMPARE(empty.db->query(QStringLiteral("SELECT COUNT(*) FROM CodeArticle WHERE Reference IS NULL")).rows[0][0].toInt(), 5);
    }

    void barCodes()
    {
        DbFixture f;
        AppSettings s;
        ScriptedUi ui;
        ArticleCatalogue c(*f.db, ui, s);
        c.FenetreActivee = true;
        c.list().setPosition(1);
        c.syncCardToList();
        ui.queueText(QStringLiteral("@3760123400015")); // already article 1000's
        c.SaisirCodeBarre();
        QCOMPARE(ui.lastMessage(), QStringLiteral("Code à bar déjà utilisé !"));
        QVERIFY(c.card().value(QStringLiteral("CodeBar")).isNull());
        ui.queueText(QStringLiteral("@4006381333931"));
        c.SaisirCodeBarre();
        QCOMPARE(f.db->query(QStringLiteral("SELECT CodeBar FROM ArticleEnStock WHERE Reference = 1001")).rows[0][0].toString(),
                 QStringLiteral("4006381333931"));
    }

    void codeAssignmentAndSwap()
    {
        DbFixture f;
        AppSettings s;
        ScriptedUi ui;
        ArticleCatalogue c(*f.db, ui, s);
        c.FenetreActivee = true;
        c.AppliquerModeRecherche(1);
        c.list().setPosition(2); // 1002, no code
        c.syncCardToList();
        QVERIFY(c.AttribuerCodeArticle(7, false));
        QCOMPARE(f.db->query(QStringLiteral("SELECT Reference FROM CodeArticle WHERE CodeArticle = 7")).rows[0][0].toInt(), 1002);
        // Swap 7 with 1, held by 1000.
        QVERIFY(c.AttribuerCodeArticle(1, true));
        const ResultTable codes = f.db->query(QStringLiteral("SELECT Reference, CodeArticle FROM ArticleEnStock WHERE Reference IN (1000, 1002) ORDER BY Reference"));
        QCOMPARE(codes.rows[0][1].toInt(), 7);
        QCOMPARE(codes.rows[1][1].toInt(), 1);
        const ResultTable pool = f.db->query(QStringLiteral("SELECT CodeArticle, Reference FROM CodeArticle WHERE CodeArticle IN (1, 7) ORDER BY CodeArticle"));
        QCOMPARE(pool.rows[0][1].toInt(), 1002);
        QCOMPARE(pool.rows[1][1].toInt(), 1000);
    }

    void deletion()
    {
        DbFixture f;
        AppSettings s;
        ScriptedUi ui;
        ArticleCatalogue c(*f.db, ui, s);
        c.FenetreActivee = true;
        c.list().setPosition(0); // 1000: still in a machine slot
        c.syncCardToList();
        ui.queueAnswer(Ui::Answer::Yes);
        QVERIFY(!c.SupprimerArticle());
        QCOMPARE(ui.lastMessage(), QStringLiteral("Suppression impossible !"));
        QCOMPARE(f.db->query(QStringLiteral("SELECT COUNT(*) FROM ArticleEnStock WHERE Reference = 1000")).rows[0][0].toInt(), 1);
        // 1001 goes and its code 2 becomes free.
        QVERIFY(c.RechercherArticle(QStringLiteral("1001")));
        ui.queueAnswer(Ui::Answer::No);
        QVERIFY(!c.SupprimerArticle());
        ui.queueAnswer(Ui::Answer::Yes);
        QVERIFY(c.SupprimerArticle());
        QVERIFY(f.db->query(QStringLiteral("SELECT Reference FROM CodeArticle WHERE CodeArticle = 2")).rows[0][0].isNull());
        QCOMPARE(c.list().RecordCount(), 3);
    }

    void prices()
    {
        DbFixture f;
        f.db->execute(QStringLiteral("UPDATE ArticleEnStock SET PrixAchatGlobal = 32, QteParPaket = 10, PrixAchatUnit = 3.2, StockAlert = 63"));
        AppSettings s;
        ScriptedUi ui;
        ArticleCatalogue c(*f.db, ui, s);
        c.RecalculerPrixAchat(ArticleCatalogue::PriceField::UnitsPerPack, QStringLiteral("0"));
        QCOMPARE(c.card().value(QStringLiteral("PrixAchatUnit")).toDouble(), 3.2); // no division by zero
        c.RecalculerPrixAchat(ArticleCatalogue::PriceField::UnitsPerPack, QStringLiteral("8"));
        QCOMPARE(c.card().value(QStringLiteral("PrixAchatUnit")).toDouble(), 4.0);
        c.RecalculerPrixAchat(ArticleCatalogue::PriceField::PackPrice, QStringLiteral("12,5"));
        QCOMPARE(c.card().value(QStringLiteral("PrixAchatGlobal")).toDouble(), 12.5);
        QCOMPARE(c.card().value(QStringLiteral("PrixAchatUnit")).toDouble(), 1.25);
        QCOMPARE(c.AfficherAlertePaquets(), QStringLiteral("6 P + 3 U"));
        QCOMPARE(ArticleCatalogue::decimalKey(u'.', QStringLiteral(",")), QStringLiteral(","));
        QCOMPARE(ArticleCatalogue::decimalKey(u',', QStringLiteral(".")), QStringLiteral("."));
        QCOMPARE(ArticleCatalogue::decimalKey(u'a', QStringLiteral(",")), QString());
        QString typed;
        for (QChar k : QStringLiteral("12.5"))
            typed += ArticleCatalogue::decimalKey(k, QStringLiteral(","));
        QCOMPARE(typed, QStringLiteral("12,5"));
    }

    void stockAlert_data()
    {
        QTest::addColumn<int>("alert");
        QTest::addColumn<bool>("shown");
        QTest::addRow("equal") << 42 << false; // QteGlobal of 1000 is 40 + 2
        QTest::addRow("one below") << 43 << true;
    }
    void stockAlert()
    {
        QFETCH(int, alert);
        QFETCH(bool, shown);
        DbFixture f;
        f.db->execute(QStringLiteral("UPDATE ArticleEnStock SET StockAlert = %1 WHERE Reference = 1000").arg(alert));
        AppSettings s;
        ScriptedUi ui;
        ArticleCatalogue c(*f.db, ui, s);
        c.FenetreActivee = true;
        c.AppliquerModeRecherche(1);
        QCOMPARE(c.TesterAlerteStock(), shown);
    }

    void selection()
    {
        DbFixture f;
        AppSettings s;
        ScriptedUi ui;
        ArticleCatalogue c(*f.db, ui, s);
        c.FenetreActivee = true;
        c.AppliquerModeRecherche(1);
        c.list().setPosition(2); // 1002 has no code
        ArticleCatalogue::Selection sel = c.SelectionnerArticle(true, false);
        QVERIFY(!sel.accepted);
        QCOMPARE(ui.lastMessage(), QStringLiteral("Pas de code article attribué.\r\nOpération annulée !"));
        sel = c.SelectionnerArticle(false, true);
        QVERIFY(sel.accepted);
        QCOMPARE(sel.ReferenceEPI, 1002);
        c.list().setPosition(0);
        sel = c.SelectionnerArticle(true, false);
        QVERIFY(sel.accepted);
        QCOMPARE(sel.CodeArticleEPI, 1);
        QCOMPARE(sel.ReferenceEPI, 1000);
        QCOMPARE(sel.DeignationEPI, QStringLiteral("Gant nitrile"));
        QVERIFY(!c.SelectionnerArticle(false, false).accepted);
    }
};

QTEST_GUILESS_MAIN(TstArticleCatalogue)
#include "tst_articlecatalogue.moc"
