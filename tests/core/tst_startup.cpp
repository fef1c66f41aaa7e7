#include "CodeAccesDlg.h"
#include "ScriptedUi.h"
#include "SingleInstance.h"
#include "SplashWindow.h"
#include "Startup.h"
#include "Version.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

class TstStartup : public QObject {
    Q_OBJECT

    static void type(CodeAccesDlg& dlg, const char* field, const QString& text)
    {
        auto* edit = dlg.findChild<QLineEdit*>(QString::fromLatin1(field));
        QVERIFY(edit);
        edit->clear();
        QTest::keyClicks(edit, text);
    }

private Q_SLOTS:
    void init() { CodeAccesDlg::resetFailedAttempts(); }

    void rightPasswordOpens()
    {
        ScriptedUi ui;
        CodeAccesDlg dlg(ui, QStringLiteral("Secret"));
        dlg.show();
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Contrôle d'accès"));
        type(dlg, "motPasseLineEdit", QStringLiteral("Secret"));
        QTest::keyClick(dlg.findChild<QLineEdit*>(QStringLiteral("motPasseLineEdit")), Qt::Key_Return);
        QVERIFY(dlg.Ok);
        QVERIFY(!dlg.isVisible());
        QVERIFY(ui.shown().isEmpty());
    }

    void passwordIsCaseSensitive()
    {
        ScriptedUi ui;
        CodeAccesDlg dlg(ui, QStringLiteral("Secret"));
        dlg.show();
        type(dlg, "motPasseLineEdit", QStringLiteral("secret"));
        dlg.confirm();
        QVERIFY(!dlg.Ok);
        QCOMPARE(ui.lastMessage(), QStringLiteral("Mot de passe incorect !"));
        QCOMPARE(ui.shown().last().title, QString());
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.MDP(), QString());
    }

    void twoWrongThenRight()
    {
        ScriptedUi ui;
        CodeAccesDlg dlg(ui, QStringLiteral("abc"));
        dlg.show();
        for (int i = 0; i < 2; ++i) {
            type(dlg, "motPasseLineEdit", QStringLiteral("x"));
            dlg.confirm();
        }
        type(dlg, "motPasseLineEdit", QStringLiteral("abc"));
        dlg.confirm();
        QVERIFY(dlg.Ok);
        QVERIFY(!dlg.programEnded());
        QCOMPARE(ui.messages().size(), 2);
    }

    void thirdWrongEndsTheProgram()
    {
        ScriptedUi ui;
        CodeAccesDlg dlg(ui, QStringLiteral("abc"));
        dlg.show();
        for (int i = 0; i < 3; ++i) {
            type(dlg, "motPasseLineEdit", QStringLiteral("nope"));
            dlg.confirm();
        }
        QVERIFY(!dlg.Ok);
        QVERIFY(dlg.programEnded());
        QVERIFY(!dlg.isVisible());
        QCOMPARE(CodeAccesDlg::failedAttempts(), 3);
    }

    void attemptsCountOverTheWholeRun()
    {
        ScriptedUi ui;
        {
            CodeAccesDlg first(ui, QStringLiteral("abc"));
            first.show();
            type(first, "motPasseLineEdit", QStringLiteral("1"));
            first.confirm();
            type(first, "motPasseLineEdit", QStringLiteral("2"));
            first.confirm();
        }
        CodeAccesDlg again(ui, QStringLiteral("abc"));
        again.show();
        type(again, "motPasseLineEdit", QStringLiteral("3"));
        again.confirm();
        QVERIFY(again.programEnded());
    }

    void annulerAndEscapeClearOk()
    {
        ScriptedUi ui;
        CodeAccesDlg dlg(ui, QStringLiteral("abc"));
        dlg.show();
        dlg.Ok = true;
        QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("annulerPushButton")), Qt::LeftButton);
        QVERIFY(!dlg.Ok);
        QVERIFY(!dlg.isVisible());
        dlg.show();
        dlg.Ok = true;
        QTest::keyClick(&dlg, Qt::Key_Escape);
        QVERIFY(!dlg.Ok);
    }

    void activationEmptiesTheField()
    {
        ScriptedUi ui;
        CodeAccesDlg dlg(ui, QStringLiteral("abc"));
        dlg.show();
        type(dlg, "motPasseLineEdit", QStringLiteral("typed"));
        dlg.hide();
        dlg.show();
        QCOMPARE(dlg.MDP(), QString());
    }

    void newPasswordMode()
    {
        ScriptedUi ui;
        CodeAccesDlg dlg(ui, QVariant());
        dlg.show();
        dlg.NouveauMDP();
        auto* ok = dlg.findChild<QPushButton*>(QStringLiteral("okPushButton"));
        auto* second = dlg.findChild<QLineEdit*>(QStringLiteral("confirmationLineEdit"));
        QVERIFY(dlg.NouvMDP);
        QVERIFY(second->isVisible());
        QVERIFY(!ok->isEnabled());
        const auto labels = dlg.findChildren<QLabel*>();
        QVERIFY(std::any_of(labels.begin(), labels.end(), [](QLabel* l) {
            return l->text() == QStringLiteral("Entrez le nouveau mot de passe:");
        }));
        type(dlg, "motPasseLineEdit", QStringLiteral("neuf"));
        type(dlg, "confirmationLineEdit", QStringLiteral("neu"));
        QVERIFY(!ok->isEnabled());
        QTest::keyClick(second, Qt::Key_F);
        QVERIFY(ok->isEnabled());
        QTest::mouseClick(ok, Qt::LeftButton);
        QVERIFY(dlg.Ok);
        QCOMPARE(dlg.MDP(), QStringLiteral("neuf"));
    }

    void noPasswordSetSkipsTheDialog_data()
    {
        QTest::addColumn<QVariant>("motPasse");
        QTest::addRow("null") << QVariant();
        QTest::addRow("typed null") << QVariant(QMetaType::fromType<QString>());
        QTest::addRow("empty") << QVariant(QString());
    }
    void noPasswordSetSkipsTheDialog()
    {
        QFETCH(QVariant, motPasse);
        ScriptedUi ui;
        Startup startup(ui);
        QVERIFY(startup.askPassword(motPasse));
        QVERIFY(ui.shown().isEmpty());
    }

    void passwordSetAsksThroughTheDialog()
    {
        ScriptedUi ui;
        Startup startup(ui);
        // Answer the modal dialog once it is up.
        QTimer::singleShot(0, this, [] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* dlg = qobject_cast<CodeAccesDlg*>(w); dlg && dlg->isVisible()) {
                    dlg->findChild<QLineEdit*>(QStringLiteral("motPasseLineEdit"))->setText(QStringLiteral("pw"));
                    dlg->confirm();
                }
        });
        QVERIFY(startup.askPassword(QStringLiteral("pw")));
    }

    void secondInstanceIsRefused()
    {
        QTemporaryDir dir;
        SingleInstance first(QStringLiteral("Loading ZUR"), dir.path());
        QVERIFY(first.acquire());
        {
            SingleInstance second(QStringLiteral("Loading ZUR"), dir.path());
            QVERIFY(!second.acquire());
        }
        QVERIFY(first.acquire());
    }

    void lockIsFreedWhenTheCopyEnds()
    {
        QTemporaryDir dir;
        {
            SingleInstance first(QStringLiteral("Loading ZUR"), dir.path());
            QVERIFY(first.acquire());
        }
        SingleInstance next(QStringLiteral("Loading ZUR"), dir.path());
        QVERIFY(next.acquire());
    }

    void splashShowsTitleAndVersion()
    {
        SplashWindow splash;
        QCOMPARE(splash.windowTitle(), QStringLiteral("Loading ZUR"));
        QCOMPARE(splash.findChild<QLabel*>(QStringLiteral("versionLabel"))->text(),
                 QStringLiteral("Version ") + QStringLiteral(AUTOMAT_VERSION));
        QVERIFY(QStringLiteral(AUTOMAT_VERSION).count(u'.') == 2);
    }
};

QTEST_MAIN(TstStartup)
#include "tst_startup.moc"
