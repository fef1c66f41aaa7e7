#include "AppException.h"
#include "DbFixture.h"
#include "Recordset.h"
#include "RecordsetModel.h"

#include <QAbstractItemModelTester>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QtTest>

class TstRecordset : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void browsing()
    {
        DbFixture f;
        Recordset rs(*f.db, QStringLiteral("Tailles where NoFamille=1 order by Ordre"));
        QCOMPARE(rs.RecordCount(), 2);
        QVERIFY(!rs.isBOF() && !rs.isEOF());
        QCOMPARE(rs.value(QStringLiteral("taille")).toString(), QStringLiteral("8"));
        QCOMPARE(rs.value(QStringLiteral("[Taille]")).toString(), QStringLiteral("8"));
        rs.MoveNext();
        QCOMPARE(rs.value(QStringLiteral("Taille")).toString(), QStringLiteral("9"));
        rs.MoveNext();
        QVERIFY(rs.isEOF());
        QCOMPARE(failureOf([&] { rs.value(QStringLiteral("Taille")); }), Database::NoCurrentRecord);
        QCOMPARE(failureOf([&] { rs.MoveNext(); }), Database::NoCurrentRecord);
        rs.MovePrevious();
        QCOMPARE(rs.position(), 1);
        rs.MoveFirst();
        rs.MovePrevious();
        QVERIFY(rs.isBOF());
        QCOMPARE(failureOf([&] { rs.value(QStringLiteral("Inconnu")); }), 3265L);

        Recordset empty(*f.db, QStringLiteral("Tailles where NoFamille=99"));
        QVERIFY(empty.isBOF() && empty.isEOF());
        QCOMPARE(empty.RecordCount(), 0);
        QCOMPARE(failureOf([&] { empty.value(QStringLiteral("Taille")); }), Database::NoCurrentRecord);
        QCOMPARE(failureOf([&] { Recordset bad(*f.db, QStringLiteral("TableInconnue")); }), Database::RefusedWrite);
    }

    void datesAndNulls()
    {
        DbFixture f;
        Recordset rs(*f.db, QStringLiteral("ArticleEnStock order by Reference"));
        QCOMPARE(rs.value(QStringLiteral("DateCreation")).toDateTime(), QDateTime(QDate(2026, 1, 15), QTime(0, 0)));
        rs.setPosition(2);
        QVERIFY(rs.value(QStringLiteral("QteEnStock")).isNull());
        QVERIFY(rs.value(QStringLiteral("DateCreation")).isNull());
    }

    void find_data()
    {
        QTest::addColumn<QString>("criteria");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("found"); // Reference found, 0 for EOF
        QTest::addRow("[Col]=n") << "[Reference]=1002" << -2 << 1002;
        QTest::addRow("Col=n") << "Reference=1001" << -2 << 1001;
        QTest::addRow("whole text ignoring case") << "Designation like 'gant NITRILE'" << -2 << 1000;
        QTest::addRow("prefix") << "Designation like 'Bou*'" << -2 << 1002;
        QTest::addRow("like without wildcard is whole") << "Designation like 'Gant'" << -2 << 0;
        QTest::addRow("apostrophe doubled") << "Designation like 'Bouchons d''oreille'" << -2 << 1002;
        QTest::addRow("typed star is literal") << "Designation like '" + Sql::LikeText("Bou*") + "*'" << -2 << 0;
        QTest::addRow("date bound") << "(DateCreation)>=01/02/2026" << -2 << 1001;
        QTest::addRow("date bound with hashes") << "DateCreation>=#16/01/2026#" << -2 << 1001;
        QTest::addRow("text equality") << "Designation='Article nu'" << -2 << 1003;
        QTest::addRow("forward from the current row only") << "[Reference]=1000" << 1 << 0;
        QTest::addRow("from a given row") << "Designation like 'Gant*'" << 1 << 1001;
        QTest::addRow("nulls never match") << "QteEnStock<10" << -2 << 1001;
        QTest::addRow("not equal") << "Reference<>1000" << -2 << 1001;
    }
    void find()
    {
        QFETCH(QString, criteria);
        QFETCH(int, start);
        QFETCH(int, found);
        DbFixture f;
        Recordset rs(*f.db, QStringLiteral("ArticleEnStock order by Reference"));
        if (start >= 0)
            rs.setPosition(start);
        const bool hit = rs.Find(criteria, 0, true, start >= 0 ? start : -2);
        QCOMPARE(hit, found != 0);
        if (found)
            QCOMPARE(rs.value(QStringLiteral("Reference")).toInt(), found);
        else
            QVERIFY(rs.isEOF());
    }

    void findSkipAndBackwards()
    {
        DbFixture f;
        Recordset rs(*f.db, QStringLiteral("ArticleEnStock order by Reference"));
        QVERIFY(rs.Find(QStringLiteral("Designation like 'Gant*'")));
        QCOMPARE(rs.value(QStringLiteral("Reference")).toInt(), 1000);
        QVERIFY(rs.Find(QStringLiteral("Designation like 'Gant*'"), 1));
        QCOMPARE(rs.value(QStringLiteral("Reference")).toInt(), 1001);
        rs.MoveLast();
        QVERIFY(rs.Find(QStringLiteral("Designation like 'Gant*'"), 0, false));
        QCOMPARE(rs.value(QStringLiteral("Reference")).toInt(), 1001);
        QVERIFY(!rs.Find(QStringLiteral("Reference=1"), 0, false));
        QVERIFY(rs.isBOF());
    }

    void badCriteria_data()
    {
        QTest::addColumn<QString>("criteria");
        QTest::addColumn<long>("number");
        QTest::addRow("no operator") << "Reference 1000" << 3001L;
        QTest::addRow("unclosed text") << "Designation like 'Gant" << 3001L;
        QTest::addRow("lone apostrophe") << "Designation like 'D'ALMEIDA'" << 3001L;
        QTest::addRow("bare word") << "Designation = Gant" << 3001L;
        QTest::addRow("not a date") << "DateCreation >= #31/02/2026#" << 3001L;
        QTest::addRow("unknown field") << "[Inconnu]=1" << 3265L;
    }
    void badCriteria()
    {
        QFETCH(QString, criteria);
        QFETCH(long, number);
        DbFixture f;
        Recordset rs(*f.db, QStringLiteral("ArticleEnStock"));
        QCOMPARE(failureOf([&] { rs.Find(criteria); }), number);
        QCOMPARE(rs.position(), 0);
    }

    void sorting()
    {
        DbFixture f;
        Recordset rs(*f.db, QStringLiteral("ArticleEnStock"));
        rs.setPosition(1);
        rs.setSort(QStringLiteral("Designation Desc, Reference"));
        QCOMPARE(rs.value(QStringLiteral("Reference")).toInt(), 1001); // the current record stays current
        rs.MoveFirst();
        QStringList order;
        while (!rs.isEOF()) {
            order << rs.value(QStringLiteral("Reference")).toString();
            rs.MoveNext();
        }
        QCOMPARE(order.join(u','), QStringLiteral("1000,1001,1002,1003"));
        rs.setSort(QStringLiteral("QteEnStock asc"));
        rs.MoveFirst();
        QVERIFY(rs.value(QStringLiteral("QteEnStock")).isNull()); // nulls first
        QCOMPARE(failureOf([&] { rs.setSort(QStringLiteral("Inconnu")); }), 3265L);
        QCOMPARE(failureOf([&] { rs.setSort(QStringLiteral("Reference sideways")); }), 3001L);
    }

    void addSaveReadsCounters()
    {
        DbFixture f;
        Recordset rs(*f.db, QStringLiteral("Ventes order by No"));
        rs.AddNew();
        rs.setValue(QStringLiteral("LaDate"), QDateTime(QDate(2026, 3, 2), QTime(9, 0)));
        rs.setValue(QStringLiteral("TypeMouvement"), 3);
        rs.setValue(QStringLiteral("Utilisateur"), QStringLiteral("100002"));
        rs.Update();
        QVERIFY(!rs.isEditing());
        QCOMPARE(rs.value(QStringLiteral("No")).toInt(), 6);
        QCOMPARE(rs.value(QStringLiteral("NumVente")).toInt(), 505); // given by the database
        Recordset again(*f.db, QStringLiteral("Ventes where No = 6"));
        QCOMPARE(again.value(QStringLiteral("LaDate")).toDateTime(), QDateTime(QDate(2026, 3, 2), QTime(9, 0)));
    }

    void updateDeleteCancel()
    {
        DbFixture f;
        Recordset rs(*f.db, QStringLiteral("ArticleEnStock order by Reference"));
        rs.setValue(QStringLiteral("Designation"), QStringLiteral("Gant nitrile bleu"));
        rs.CancelUpdate();
        QCOMPARE(rs.value(QStringLiteral("Designation")).toString(), QStringLiteral("Gant nitrile"));
        rs.setValue(QStringLiteral("Designation"), QStringLiteral("Gant nitrile bleu"));
        rs.MoveNext(); // a move saves the pending change
        QCOMPARE(f.db->query(QStringLiteral("SELECT Designation FROM ArticleEnStock WHERE Reference = 1000")).rows[0][0].toString(),
                 QStringLiteral("Gant nitrile bleu"));
        // A duplicate is refused with its number and the row stays in edit for the caller.
        rs.setValue(QStringLiteral("CodeBar"), QStringLiteral("3760123400015"));
        QCOMPARE(failureOf([&] { rs.Update(); }), Database::Duplicate);
        QVERIFY(rs.isEditing());
        rs.CancelUpdate();
        QVERIFY(rs.value(QStringLiteral("CodeBar")).isNull());
        // Delete: refused when still used, allowed otherwise; the next row becomes current.
        QCOMPARE(failureOf([&] { rs.Delete(); }), 0L); // 1001 is only in sales
        QCOMPARE(rs.RecordCount(), 3);
        QCOMPARE(rs.value(QStringLiteral("Reference")).toInt(), 1002);
        QCOMPARE(failureOf([&] { rs.Delete(); }), Database::RefusedWrite); // in a profile
        QCOMPARE(rs.RecordCount(), 3);
        // AddNew then CancelUpdate leaves nothing behind.
        rs.AddNew();
        rs.setValue(QStringLiteral("Reference"), 2000);
        rs.CancelUpdate();
        QCOMPARE(rs.RecordCount(), 3);
        QCOMPARE(rs.value(QStringLiteral("Reference")).toInt(), 1002);
        QCOMPARE(f.db->query(QStringLiteral("SELECT COUNT(*) FROM ArticleEnStock")).rows[0][0].toInt(), 3);
    }

    void rowGoneUnderneath()
    {
        DbFixture f;
        Recordset rs(*f.db, QStringLiteral("Sites order by NoSite"));
        f.db->execute(QStringLiteral("UPDATE Utilisateurs SET Site = NULL, Service = NULL; DELETE FROM Services; DELETE FROM Sites WHERE NoSite = 1"));
        rs.setValue(QStringLiteral("Adresse"), QStringLiteral("x"));
        QCOMPARE(failureOf([&] { rs.Update(); }), -2147217864L);
    }

    void bookmarkAfterRequery()
    {
        DbFixture f;
        Recordset rs(*f.db, QStringLiteral("Utilisateurs order by Nom"));
        QVERIFY(rs.Find(QStringLiteral("NoBadge='100002'")));
        const QVariantList mark = rs.bookmark();
        f.db->execute(QStringLiteral("INSERT INTO Utilisateurs (NoBadge, Nom) VALUES ('000001', 'AARON')"));
        rs.Requery();
        QCOMPARE(rs.position(), 0);
        QCOMPARE(rs.RecordCount(), 4);
        QVERIFY(rs.setBookmark(mark));
        QCOMPARE(rs.value(QStringLiteral("Nom")).toString(), QStringLiteral("D'ALMEIDA"));
    }

    void writesThroughTheEmployeeView()
    {
        DbFixture f;
        Recordset rs(*f.db, QStringLiteral("GrUtilisateur order by NoBadge"));
        rs.AddNew();
        rs.setValue(QStringLiteral("NoBadge"), QStringLiteral("300001"));
        rs.setValue(QStringLiteral("Nom"), QStringLiteral("NEUF"));
        rs.setValue(QStringLiteral("Site"), 2);
        rs.Update();
        QCOMPARE(rs.value(QStringLiteral("NomSite")).toString(), QStringLiteral("BRON"));
        rs.setValue(QStringLiteral("Prenom"), QStringLiteral("Noé"));
        rs.Update();
        QCOMPARE(f.db->query(QStringLiteral("SELECT Prenom FROM Utilisateurs WHERE NoBadge = '300001'")).rows[0][0].toString(),
                 QStringLiteral("Noé"));
        rs.AddNew();
        rs.setValue(QStringLiteral("NoBadge"), QStringLiteral("100001"));
        QCOMPARE(failureOf([&] { rs.Update(); }), Database::Duplicate);
    }

    void writesThroughAJoin()
    {
        // The profile window edits QtePermise and Periodicite in a query joining three tables.
        DbFixture f;
        Recordset rs(*f.db, QStringLiteral(
            "SELECT    Quota.RefArticle,  ArticleEnStock.Designation, ArticleEnStock.CodeArticle,  Quota.QtePermise,  Quota.Periodicite,  Quota.NoQota,  Quota.NoLigne,"
            "  Tailles.NoTaille ,  Tailles.Taille, Tailles.NoFamille, Tailles.Ordre FROM          (ArticleEnStock LEFT OUTER JOIN"
            "  Tailles ON  ArticleEnStock.Taille =  Tailles.NoTaille) RIGHT OUTER JOIN  Quota ON  ArticleEnStock.Reference =  Quota.RefArticle Where  ( Quota.NoQota =1)"));
        QVERIFY(rs.Find(QStringLiteral("RefArticle=1002")));
        rs.setValue(QStringLiteral("QtePermise"), 12);
        rs.setValue(QStringLiteral("Periodicite"), 14);
        rs.Update();
        const ResultTable r = f.db->query(QStringLiteral("SELECT QtePermise, Periodicite FROM Quota WHERE RefArticle = 1002"));
        QCOMPARE(r.rows[0][0].toInt(), 12);
        QCOMPARE(r.rows[0][1].toInt(), 14);
        QCOMPARE(f.db->query(QStringLiteral("SELECT QtePermise FROM Quota WHERE RefArticle = 1000")).rows[0][0].toInt(), 2);
        // A period of four digits is refused by the database.
        rs.setValue(QStringLiteral("Periodicite"), 1000);
        QCOMPARE(failureOf([&] { rs.Update(); }), Database::RefusedWrite);
    }

    void procedureRowsAreReadOnly()
    {
        DbFixture f;
        Recordset rs(*f.db, QStringLiteral("EXEC PresentationArticle 1"));
        QCOMPARE(rs.RecordCount(), 1);
        rs.setValue(QStringLiteral("Designation"), QStringLiteral("x"));
        QCOMPARE(failureOf([&] { rs.Update(); }), Database::RefusedWrite);
    }

    void gridModel()
    {
        DbFixture f;
        Recordset rs(*f.db, QStringLiteral("ArticleEnStock order by Reference"));
        RecordsetModel model(&rs);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setColumns({QStringLiteral("Reference"), QStringLiteral("Designation")}, {QStringLiteral("Référence"), QStringLiteral("Désignation")});
        QCOMPARE(model.columnCount(), 2);
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Désignation"));
        QCOMPARE(model.data(model.index(2, 1)).toString(), QStringLiteral("Bouchons d'oreille"));

        QItemSelectionModel selection(&model);
        model.bindSelection(&selection);
        QCOMPARE(selection.currentIndex().row(), 0);
        rs.setPosition(3);
        QCOMPARE(selection.currentIndex().row(), 3);
        selection.setCurrentIndex(model.index(1, 0), QItemSelectionModel::ClearAndSelect);
        QCOMPARE(rs.position(), 1);

        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        rs.setValue(QStringLiteral("Designation"), QStringLiteral("Gant nitrile vert"));
        QVERIFY(changed.count() >= 1);
        rs.Update();
        rs.AddNew();
        QCOMPARE(model.rowCount(), 5);
        rs.CancelUpdate();
        QCOMPARE(model.rowCount(), 4);
        rs.setSort(QStringLiteral("Reference desc"));
        QCOMPARE(model.data(model.index(0, 0)).toInt(), 1003);
        rs.Requery();
        QCOMPARE(model.rowCount(), 4);
        QVERIFY(rs.Find(QStringLiteral("Reference=1001")));
        rs.Delete();
        QCOMPARE(model.rowCount(), 3);
    }
};

QTEST_GUILESS_MAIN(TstRecordset)
#include "tst_recordset.moc"
