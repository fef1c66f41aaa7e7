#include "../core/db/DbFixture.h"
#include "AppSettings.h"
#include "FrmStock.h"
#include "Recordset.h"
#include "ScriptedUi.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QtTest>

class TstFrmStock : public QObject {
    Q_OBJECT

    static AppSettings settingsFor(const DbFixture& f)
    {
        AppSettings s = f.settings();
        s.DecimalSeparator = QStringLiteral(",");
        return s;
    }

private Q_SLOTS:
    void listAndCard()
    {
        DbFixture f;
        AppSettings s = settingsFor(f);
        ScriptedUi ui;
        FrmStock w(ui, s);
        w.show();
        auto* list = w.findChild<QTableView*>(QStringLiteral("listeTableView"));
        QAbstractItemModelTester tester(list->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(list->model()->rowCount(), 4);
        QCOMPARE(list->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Réference"));
        QCOMPARE(list->model()->headerData(11, Qt::Horizontal).toString(), QStringLiteral("Stock Alarm"));
        QCOMPARE(w.listPosition(), QStringLiteral("1 / 4"));
        list->selectRow(2);
        QCOMPARE(w.listPosition(), QStringLiteral("3 / 4"));
        QCOMPARE(w.findChild<QLineEdit*>(QStringLiteral("referenceLineEdit"))->text(), QStringLiteral("1002"));
        QVERIFY(!w.findChild<QPushButton*>(QStringLiteral("selectionnerPushButton"))->isVisible());
    }

    void keys()
    {
        DbFixture f;
        AppSettings s = settingsFor(f);
        ScriptedUi ui;
        FrmStock w(ui, s);
        w.show();
        auto* search = w.findChild<QLineEdit*>(QStringLiteral("rechercheLineEdit"));
        // Mode 1: letters refused, digits search.
        QTest::keyClicks(search, QStringLiteral("1a0b01"));
        QCOMPARE(search->text(), QStringLiteral("1001"));
        QCOMPARE(w.catalogue().list().value(QStringLiteral("Reference")).toInt(), 1001);
        // "@" switches to bar-code reading and empties the box.
        QTest::keyClicks(search, QStringLiteral("@376012340001"));
        QVERIFY(w.catalogue().LectureCodeBarre);
        QCOMPARE(w.catalogue().list().value(QStringLiteral("Reference")).toInt(), 1000);
        QTest::keyClick(search, Qt::Key_Return);
        QVERIFY(!w.catalogue().LectureCodeBarre);
        // 12.5 typed with the separator "," gives 12,5, saved as 12.5.
        w.showCard(true);
        auto* prix = w.findChild<QLineEdit*>(QStringLiteral("prixLineEdit"));
        prix->clear();
        QTest::keyClicks(prix, QStringLiteral("12.5x"));
        QCOMPARE(prix->text(), QStringLiteral("12,5"));
        Q_EMIT prix->editingFinished();
        QCOMPARE(f.db->query(QStringLiteral("SELECT Prix FROM ArticleEnStock WHERE Reference = 1000")).rows[0][0].toDouble(), 12.5);
    }

    void pickerForAMachineWindow()
    {
        DbFixture f;
        AppSettings s = settingsFor(f);
        ScriptedUi ui;
        FrmStock w(ui, s);
        // Row 3 (1002) has no code: refused, the window stays; then row 1 (1000).
        QTimer::singleShot(0, &w, [&] {
            auto* list = w.findChild<QTableView*>(QStringLiteral("listeTableView"));
            list->selectRow(2);
            w.selectionner();
            QVERIFY(w.isVisible());
            list->selectRow(0);
            QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("selectionnerPushButton")), Qt::LeftButton);
        });
        const ArticleCatalogue::Selection chosen = w.choisir(true, false);
        QCOMPARE(ui.lastMessage(), QStringLiteral("Pas de code article attribué.\r\nOpération annulée !"));
        QVERIFY(chosen.accepted);
        QCOMPARE(chosen.ReferenceEPI, 1000);
        QCOMPARE(chosen.CodeArticleEPI, 1);
        QVERIFY(!w.isVisible());
        // Back in management mode.
        QVERIFY(!w.findChild<QPushButton*>(QStringLiteral("selectionnerPushButton"))->isVisibleTo(&w));
        QVERIFY(w.findChild<QPushButton*>(QStringLiteral("ajoutPushButton"))->isVisibleTo(&w));
    }

    void pickerClosedWithoutChoice()
    {
        DbFixture f;
        AppSettings s = settingsFor(f);
        ScriptedUi ui;
        FrmStock w(ui, s);
        QTimer::singleShot(0, &w, [&] { w.findChild<QPushButton*>(QStringLiteral("fermerPushButton"))->click(); });
        QVERIFY(!w.choisir(false, true).accepted);
    }

    void hiddenFieldsKeepTheirRules()
    {
        DbFixture f;
        f.db->execute(QStringLiteral("UPDATE ArticleEnStock SET PrixAchatGlobal = 32, QteParPaket = 10, PrixAchatUnit = 3.2"));
        AppSettings s = settingsFor(f);
        ScriptedUi ui;
        FrmStock w(ui, s);
        w.show();
        w.showCard(true);
        QCOMPARE(w.cardPosition(), QStringLiteral("1 / 4"));
        QCOMPARE(w.findChild<QLineEdit*>(QStringLiteral("dateCreationLineEdit"))->text(), QStringLiteral("15/01/2026"));
        QCOMPARE(w.findChild<QLineEdit*>(QStringLiteral("qteGlobalLineEdit"))->text(), QStringLiteral("42"));
        QCOMPARE(w.findChild<QLineEdit*>(QStringLiteral("societeLineEdit"))->text(), QStringLiteral("EPI DIFFUSION"));
        // Units per pack: digits only, and the unit price follows.
        auto* units = w.findChild<QLineEdit*>(QStringLiteral("qteParPaketLineEdit"));
        units->clear();
        QTest::keyClicks(units, QStringLiteral("8a"));
        QCOMPARE(units->text(), QStringLiteral("8"));
        Q_EMIT units->editingFinished();
        QCOMPARE(f.db->query(QStringLiteral("SELECT PrixAchatUnit FROM ArticleEnStock WHERE Reference = 1000")).rows[0][0].toDouble(), 4.0);
        // Another family empties the size.
        auto* family = w.findChild<QComboBox*>(QStringLiteral("familleComboBox"));
        family->setCurrentIndex(family->findText(QStringLiteral("DIVERS")));
        Q_EMIT family->activated(family->currentIndex());
        QVERIFY(f.db->query(QStringLiteral("SELECT Taille FROM ArticleEnStock WHERE Reference = 1000")).rows[0][0].isNull());
        auto* size = w.findChild<QComboBox*>(QStringLiteral("tailleComboBox"));
        QCOMPARE(size->count(), 1); // T.U.
        size->setCurrentIndex(0);
        Q_EMIT size->activated(0);
        QCOMPARE(f.db->query(QStringLiteral("SELECT Taille FROM ArticleEnStock WHERE Reference = 1000")).rows[0][0].toInt(), 3);
        // The code list offers free codes to an article without one.
        w.findChild<QTableView*>(QStringLiteral("listeTableView"))->selectRow(2); // 1002
        auto* code = w.findChild<QComboBox*>(QStringLiteral("codeArticleComboBox"));
        QVERIFY(code->isEnabled());
        QCOMPARE(code->count(), 1); // 7
        code->setCurrentIndex(0);
        Q_EMIT code->activated(0);
        QCOMPARE(f.db->query(QStringLiteral("SELECT CodeArticle FROM ArticleEnStock WHERE Reference = 1002")).rows[0][0].toInt(), 7);
        QVERIFY(!code->isEnabled());
        // Code creation through its panel.
        w.findChild<QLineEdit*>(QStringLiteral("borneLineEdit"))->setText(QStringLiteral("9"));
        w.findChild<QPushButton*>(QStringLiteral("creerOkPushButton"))->click();
        QCOMPARE(f.db->query(QStringLiteral("SELECT COUNT(*) FROM CodeArticle")).rows[0][0].toInt(), 9);
        QCOMPARE(w.findChild<QLineEdit*>(QStringLiteral("borneLineEdit"))->text(), QStringLiteral("99"));
    }

    void addAndDelete()
    {
        DbFixture f;
        AppSettings s = settingsFor(f);
        ScriptedUi ui;
        FrmStock w(ui, s);
        w.show();
        QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("ajoutPushButton")), Qt::LeftButton);
        QCOMPARE(w.findChild<QLineEdit*>(QStringLiteral("referenceLineEdit"))->text(), QStringLiteral("1004"));
        QCOMPARE(w.listPosition(), QStringLiteral("5 / 5"));
        ui.queueAnswer(Ui::Answer::Yes);
        QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("suppressionPushButton")), Qt::LeftButton);
        QCOMPARE(f.db->query(QStringLiteral("SELECT COUNT(*) FROM ArticleEnStock")).rows[0][0].toInt(), 4);
    }
};

QTEST_MAIN(TstFrmStock)
#include "tst_frmstock.moc"
