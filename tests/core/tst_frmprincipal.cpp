#include "AppSettings.h"
#include "CodeAccesDlg.h"
#include "CompanyRecord.h"
#include "Database.h"
#include "FrmPrincipal.h"
#include "FrmStock.h"
#include "ScriptedUi.h"
#include "Windows.h"
#include "db/DbFixture.h"

#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

class TstFrmPrincipal : public QObject {
    Q_OBJECT

    static QString stored(DbFixture& f, const char* column)
    {
        const QVariant v = f.db->query(QStringLiteral("SELECT %1 FROM InfoSociete").arg(QLatin1String(column))).rows.value(0).value(0);
        return v.isNull() ? QStringLiteral("<null>") : v.toString();
    }

private Q_SLOTS:
    void buttonsShownAndHidden()
    {
        DbFixture f;
        AppSettings s = f.settings();
        ScriptedUi ui;
        FrmPrincipal w(ui, s);
        QCOMPARE(w.load(1280), FrmPrincipal::LoadResult::Ok);
        QCOMPARE(w.windowTitle(), QStringLiteral("Gestion de"));
        const QStringList shown = {"CmdReport", "CmdStock", "CmdVente", "CmdMachines", "CmdInfoCom", "CmdApropos", "CmdSync", "CmdClose"};
        for (const auto& c : FrmPrincipal::commands()) {
            QToolButton* b = w.button(QString::fromLatin1(c.name));
            QVERIFY(b);
            QCOMPARE(b->text(), QString::fromUtf8(c.caption));
            QCOMPARE(b->isVisibleTo(&w), shown.contains(QString::fromLatin1(c.name)));
        }
        QCOMPARE(w.button(QStringLiteral("CmdStock"))->text(), QStringLiteral(" Articles"));
        QCOMPARE(w.button(QStringLiteral("CmdSync"))->text(), QStringLiteral("Synchro"));
        // The hidden functions are in the menu, enabled once their window exists.
        const QList<QAction*> entries = w.menuBar()->actions().first()->menu()->actions();
        QCOMPARE(entries.size(), 10);
        bool called = false;
        w.setOpener(QStringLiteral("CmdSites"), [&] { called = true; });
        QVERIFY(w.button(QStringLiteral("CmdSites"))->isEnabled());
        entries[2]->trigger();
        QVERIFY(called);
        QVERIFY(ui.shown().isEmpty());
    }

    void screenCheck_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("messages");
        QTest::addRow("1024 wide") << 1024 << 0;
        QTest::addRow("800 wide") << 800 << 1;
    }
    void screenCheck()
    {
        QFETCH(int, width);
        QFETCH(int, messages);
        DbFixture f;
        AppSettings s = f.settings();
        ScriptedUi ui;
        FrmPrincipal w(ui, s);
        QCOMPARE(w.load(width), FrmPrincipal::LoadResult::Ok); // loading goes on
        QCOMPARE(ui.messages().size(), messages);
        if (messages)
            QCOMPARE(ui.shown().first().title, QStringLiteral("Attention"));
    }

    void filters()
    {
        DbFixture f;
        AppSettings s = f.settings();
        ScriptedUi ui;
        FrmPrincipal w(ui, s);
        w.load(1280);
        w.show();
        w.showCompanyPanel();
        auto* nom = w.findChild<QLineEdit*>(QStringLiteral("nomLineEdit"));
        auto* tel = w.findChild<QLineEdit*>(QStringLiteral("telLineEdit"));
        nom->clear();
        QTest::keyClicks(nom, QStringLiteral("societe dupont"));
        QCOMPARE(nom->text(), QStringLiteral("SOCIETE DUPONT"));
        nom->insert(QStringLiteral(" é"));
        Q_EMIT nom->textEdited(nom->text());
        QCOMPARE(nom->text(), QStringLiteral("SOCIETE DUPONT É"));
        tel->clear();
        QTest::keyClicks(tel, QStringLiteral("04a 72-1"));
        QCOMPARE(tel->text(), QStringLiteral("04 721"));
        QTest::keyClick(tel, Qt::Key_Backspace);
        QCOMPARE(tel->text(), QStringLiteral("04 72"));
        // Pasted letters: only what the filter accepts stays.
        tel->selectAll();
        tel->insert(QStringLiteral("Tel: 01 23 45"));
        Q_EMIT tel->textEdited(tel->text());
        QCOMPARE(tel->text(), QStringLiteral(" 01 23 45"));
    }

    void savingTheCompanyPanel()
    {
        DbFixture f;
        AppSettings s = f.settings();
        ScriptedUi ui;
        FrmPrincipal w(ui, s);
        w.load(1280);
        w.show();
        QTest::mouseClick(w.button(QStringLiteral("CmdInfoCom")), Qt::LeftButton);
        QVERIFY(w.companyPanel()->isVisible());
        auto* ville = w.findChild<QLineEdit*>(QStringLiteral("villeLineEdit"));
        ville->setText(QStringLiteral("Saint-Étienne"));
        QTest::mouseClick(w.companyPanel()->findChild<QPushButton*>(QStringLiteral("okPushButton")), Qt::LeftButton);
        QVERIFY(!w.companyPanel()->isVisible());
        QCOMPARE(stored(f, "Ville"), QStringLiteral("Saint-Étienne"));
        QCOMPARE(stored(f, "Nom"), QStringLiteral("SOCIETE TEST"));
    }

    void emptyCompanyTableGetsARow()
    {
        DbFixture f;
        f.db->execute(QStringLiteral("DELETE FROM InfoSociete"));
        AppSettings s = f.settings();
        ScriptedUi ui;
        FrmPrincipal w(ui, s);
        QCOMPARE(w.load(1280), FrmPrincipal::LoadResult::Ok);
        QVERIFY(w.motPasse().isNull());
        w.findChild<QLineEdit*>(QStringLiteral("nomLineEdit"))->setText(QStringLiteral("NOUVELLE"));
        w.saveCompany();
        QCOMPARE(stored(f, "Nom"), QStringLiteral("NOUVELLE"));
        QVERIFY(ui.shown().isEmpty());
    }

    void emailWrittenBackAtClose_data()
    {
        QTest::addColumn<QString>("atStart"); // "<null>" for null
        QTest::addColumn<QString>("changedTo");
        QTest::addColumn<QString>("expected");
        QTest::addRow("null and unchanged gives the empty text") << "<null>" << "" << "";
        QTest::addRow("kept") << "a@b.fr" << "" << "a@b.fr";
        QTest::addRow("changed during the run") << "a@b.fr" << "c@d.fr" << "c@d.fr";
    }
    void emailWrittenBackAtClose()
    {
        QFETCH(QString, atStart);
        QFETCH(QString, changedTo);
        QFETCH(QString, expected);
        DbFixture f;
        if (atStart != QLatin1String("<null>"))
            f.db->execute(QStringLiteral("UPDATE InfoSociete SET AdEmail = '%1'").arg(atStart));
        AppSettings s = f.settings();
        ScriptedUi ui;
        {
            FrmPrincipal w(ui, s);
            w.load(1280);
            QCOMPARE(s.CompanyEmail, atStart == QLatin1String("<null>") ? QString() : atStart);
            if (!changedTo.isEmpty())
                s.CompanyEmail = changedTo;
            QSignalSpy quit(&w, &FrmPrincipal::quitRequested);
            w.show();
            w.close();
            QCOMPARE(quit.count(), 1);
        }
        QCOMPARE(stored(f, "AdEmail"), expected);
        QCOMPARE(s.ReportFolder, f.dir.path() + QStringLiteral("/RPT SQL/"));
    }

    void unreachableDatabaseEndsTheProgram()
    {
        QTemporaryDir dir;
        AppSettings s;
        s.ApplicationFolder = dir.path();
        s.DatabaseFile = dir.filePath(QStringLiteral("absente.sqlite"));
        ScriptedUi ui;
        FrmPrincipal w(ui, s);
        QCOMPARE(w.load(1280), FrmPrincipal::LoadResult::NoDatabase);
        QCOMPARE(ui.lastMessage(), QStringLiteral("Pas de base de donnée, l'application va se terminer."));
        QCOMPARE(ui.shown().last().title, QString());
    }

    void otherLoadingFailureIsReported()
    {
        DbFixture f;
        f.db->execute(QStringLiteral("DROP TABLE InfoSociete"));
        AppSettings s = f.settings();
        ScriptedUi ui;
        FrmPrincipal w(ui, s);
        QCOMPARE(w.load(1280), FrmPrincipal::LoadResult::Ok); // the window stays, without data
        QVERIFY(ui.lastMessage().startsWith(QStringLiteral("N°: -2147217900 ")));
        w.close(); // and closes without a failure
    }

    void icons()
    {
        DbFixture f;
        AppSettings s = f.settings();
        ScriptedUi ui;
        {
            // No icon folder: no pictures, no error.
            FrmPrincipal w(ui, s);
            w.load(1280);
            QVERIFY(w.button(QStringLiteral("CmdReport"))->icon().isNull());
        }
        QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("icon")));
        QImage picture(16, 16, QImage::Format_ARGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(f.dir.filePath(QStringLiteral("icon/GRAPH01.GIF")), "PNG")); // case and content differ
        QFile notPicture(f.dir.filePath(QStringLiteral("icon/book01.gif")));
        QVERIFY(notPicture.open(QIODevice::WriteOnly));
        notPicture.write("pas une image");
        notPicture.close();
        FrmPrincipal w(ui, s);
        w.load(1280);
        QVERIFY(!w.button(QStringLiteral("CmdReport"))->icon().isNull());
        QVERIFY(w.button(QStringLiteral("CmdVente"))->icon().isNull());
        QVERIFY(ui.shown().isEmpty());
    }

    void updaterMissingDoesNothing()
    {
        DbFixture f;
        AppSettings s = f.settings();
        ScriptedUi ui;
        FrmPrincipal w(ui, s);
        w.load(1280);
        QSignalSpy quit(&w, &FrmPrincipal::quitRequested);
        QVERIFY(!w.startUpdater());
        QCOMPARE(quit.count(), 0);
        QVERIFY(ui.shown().isEmpty());
    }

    void updaterPresentStartsAndEnds()
    {
        DbFixture f;
        const QString marker = f.dir.filePath(QStringLiteral("lance"));
        QFile updater(f.dir.filePath(QStringLiteral("pxupdate.exe")));
        QVERIFY(updater.open(QIODevice::WriteOnly));
        updater.write(QStringLiteral("#!/bin/sh\ntouch '%1'\n").arg(marker).toUtf8());
        updater.close();
        updater.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        AppSettings s = f.settings();
        ScriptedUi ui;
        FrmPrincipal w(ui, s);
        w.load(1280);
        QSignalSpy quit(&w, &FrmPrincipal::quitRequested);
        QVERIFY(w.startUpdater());
        QCOMPARE(quit.count(), 1);
        QTRY_VERIFY(QFile::exists(marker));
    }

    void passwordOnlyWhenSet()
    {
        DbFixture f;
        f.db->execute(QStringLiteral("UPDATE InfoSociete SET MotPasse = ''"));
        AppSettings s = f.settings();
        ScriptedUi ui;
        FrmPrincipal w(ui, s);
        w.load(1280);
        QCOMPARE(w.motPasse().toString(), QString());
        f.db->execute(QStringLiteral("UPDATE InfoSociete SET MotPasse = 'secret'"));
        FrmPrincipal w2(ui, s);
        w2.load(1280);
        QCOMPARE(w2.motPasse().toString(), QStringLiteral("secret"));
    }

    void articlesOpensTheStockWindow()
    {
        DbFixture f;
        AppSettings s = f.settings();
        ScriptedUi ui;
        FrmPrincipal w(ui, s);
        w.load(1280);
        QVERIFY(!w.button(QStringLiteral("CmdStock"))->isEnabled());
        Windows windows(w, ui, s);
        QVERIFY(windows.stock());
        QVERIFY(!windows.stock()->isVisible()); // loaded hidden
        w.show();
        QVERIFY(w.button(QStringLiteral("CmdStock"))->isEnabled());
        QTest::mouseClick(w.button(QStringLiteral("CmdStock")), Qt::LeftButton);
        QVERIFY(windows.stock()->isVisible());
        QCOMPARE(windows.stock()->windowTitle(), QStringLiteral("Articles en stock"));
    }

    void synchroPanelIsReady()
    {
        DbFixture f;
        AppSettings s = f.settings();
        ScriptedUi ui;
        FrmPrincipal w(ui, s);
        w.load(1280);
        QVERIFY(w.progressBar());
        QCOMPARE(w.progressBar()->objectName(), QStringLiteral("ProgressB"));
        QVERIFY(!w.synchroPanel()->isVisibleTo(&w));
    }
};

QTEST_MAIN(TstFrmPrincipal)
#include "tst_frmprincipal.moc"
