#include "../core/db/DbFixture.h"
#include "AppSettings.h"
#include "FenCrystalRep.h"
#include "ScriptedUi.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

class TstFenCrystalRep : public QObject {
    Q_OBJECT

    static QString rpt(const char* name) { return QStringLiteral(AUTOMAT_TEST_DATA "/../../../rpt/") + QLatin1String(name); }

    struct Site {
        DbFixture f;
        AppSettings s;
        Site()
        {
            QDir(f.dir.path()).mkdir(QStringLiteral("RPT SQL"));
            QFile::copy(rpt("ConsParSite.RPT"), f.dir.filePath(QStringLiteral("RPT SQL/ConsParSite.RPT")));
            QFile::copy(rpt("ConsParSite.RPT"), f.dir.filePath(QStringLiteral("RPT SQL/ConsUnSalarie.rpt")));
            s = f.settings();
            s.ReportFolder = f.dir.path() + QStringLiteral("/RPT SQL/");
            f.db->execute(QStringLiteral("EXEC EtatCA '01/02/2026 00:00:00' ,'28/02/2026 23:59:59'"));
        }
    };

    static int freePort()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        return probe.serverPort();
    }

private Q_SLOTS:
    void attachesAndWritesInfoEtat()
    {
        Site site;
        ScriptedUi ui;
        FenCrystalRep w(ui, site.s);
        w.TextDebut = QStringLiteral("01/02/2026");
        w.TextFin = QStringLiteral("28/02/2026");
        QVERIFY(w.ImprimerEtat2(QStringLiteral("consparsite.rpt"), QString(), QStringLiteral("Consommations par Sites"), QStringLiteral("CA")));
        QCOMPARE(w.windowTitle(), QStringLiteral("Consommations par Sites"));
        QVERIFY(w.layout().toText().contains(QStringLiteral("« Total LYON »")));
        QVERIFY(w.layout().toText().contains(QStringLiteral("« Période du 01/02/2026 au 28/02/2026 »")));
        // A second report overwrites the one row of InfoEtat.
        QVERIFY(w.ImprimerEtat2(QStringLiteral("ConsParSite.RPT"), QString(), QStringLiteral("Autre titre"), QStringLiteral("CA")));
        const ResultTable info = site.f.db->query(QStringLiteral("SELECT Titre, Periode FROM InfoEtat"));
        QCOMPARE(info.rows.size(), 1);
        QCOMPARE(info.rows[0][0].toString(), QStringLiteral("Autre titre"));
        QVERIFY(ui.shown().isEmpty());
        QCOMPARE(w.findChild<QLabel*>(QStringLiteral("pageLabel"))->text(), QStringLiteral("Page 1 / 1"));
    }

    void caRowsOfTheReportWindow()
    {
        Site site;
        ScriptedUi ui;
        FenCrystalRep w(ui, site.s);
        ResultTable none = site.f.db->query(QStringLiteral("SELECT * FROM CA WHERE 0"));
        w.CaRows = none;
        QVERIFY(w.ImprimerEtat2(QStringLiteral("ConsParSite.RPT"), QString(), QStringLiteral("t"), QStringLiteral("CA")));
        QVERIFY(!w.layout().toText().contains(QStringLiteral("MARTIN"))); // the window's rows: none
        // "ConsUnSalarie.rpt" opens CA by its name instead.
        QVERIFY(w.ImprimerEtat2(QStringLiteral("ConsUnSalarie.rpt"), QString(), QStringLiteral("t"), QStringLiteral("CA")));
        QVERIFY(w.layout().toText().contains(QStringLiteral("MARTIN")));
    }

    void missingTemplate()
    {
        Site site;
        ScriptedUi ui;
        FenCrystalRep w(ui, site.s);
        QVERIFY(!w.ImprimerEtat2(QStringLiteral("Absent.RPT"), QString(), QStringLiteral("t"), QStringLiteral("CA")));
        QVERIFY(ui.lastMessage().endsWith(QStringLiteral(" 53")));
        QVERIFY(ui.lastMessage().contains(QStringLiteral("Absent.RPT")));
        QCOMPARE(ui.shown().last().title, QString());
    }

    void addressFollowsTheCompanyEmail()
    {
        Site site;
        site.s.CompanyEmail = QStringLiteral("magasin@exemple.fr");
        ScriptedUi ui;
        {
            FenCrystalRep w(ui, site.s);
            w.show();
            auto* email = w.findChild<QLineEdit*>(QStringLiteral("emailLineEdit"));
            QCOMPARE(email->text(), QStringLiteral("magasin@exemple.fr"));
            email->setText(QStringLiteral("chef@exemple.fr"));
            w.close();
        }
        QCOMPARE(site.s.CompanyEmail, QStringLiteral("chef@exemple.fr"));
    }

    void addressWithoutAtSendsNothing()
    {
        Site site;
        ScriptedUi ui;
        FenCrystalRep w(ui, site.s);
        QVERIFY(w.ImprimerEtat2(QStringLiteral("ConsParSite.RPT"), QString(), QStringLiteral("t"), QStringLiteral("CA")));
        w.findChild<QLineEdit*>(QStringLiteral("emailLineEdit"))->setText(QStringLiteral("pas-une-adresse"));
        w.CmdEmail_Click();
        QVERIFY(ui.shown().isEmpty());
        QVERIFY(!QFile::exists(site.f.dir.filePath(QStringLiteral("test.pdf"))));
    }

    void mailedThroughSmtp()
    {
        Site site;
        QTemporaryDir maildir;
        const int port = freePort();
        QProcess server;
        server.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral("-m"), QStringLiteral("aiosmtpd"), QStringLiteral("-n"), QStringLiteral("-l"),
                      QStringLiteral("127.0.0.1:%1").arg(port), QStringLiteral("-c"), QStringLiteral("aiosmtpd.handlers.Mailbox"),
                      maildir.filePath(QStringLiteral("boite"))});
        QVERIFY(server.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT([&] {
            QTcpSocket s;
            s.connectToHost(QHostAddress::LocalHost, quint16(port));
            return s.waitForConnected(200);
        }(), 10000);
        site.s.MailServer = QStringLiteral("127.0.0.1");
        site.s.MailPort = port;
        site.s.MailSender = QStringLiteral("automat@exemple.fr");
        ScriptedUi ui;
        FenCrystalRep w(ui, site.s);
        QVERIFY(w.ImprimerEtat2(QStringLiteral("ConsParSite.RPT"), QString(), QStringLiteral("t"), QStringLiteral("CA")));
        w.findChild<QLineEdit*>(QStringLiteral("emailLineEdit"))->setText(QStringLiteral("chef@exemple.fr"));
        w.CmdEmail_Click();
        QVERIFY2(ui.shown().isEmpty(), qPrintable(ui.lastMessage()));
        const QString pdf = site.f.dir.filePath(QStringLiteral("test.pdf"));
        QVERIFY(QFile::exists(pdf));
        // The message as it arrived: subject, recipient, and the PDF byte for byte.
        const QString py = QStringLiteral(
            "import sys, mailbox, hashlib\n"
            "from email.header import decode_header, make_header\n"
            "box = mailbox.Maildir(sys.argv[1])\n"
            "msgs = list(box)\n"
            "assert len(msgs) == 1, len(msgs)\n"
            "m = msgs[0]\n"
            "print(str(make_header(decode_header(m['Subject']))))\n"
            "print(m['To'])\n"
            "for part in m.walk():\n"
            "    if part.get_filename():\n"
            "        print(part.get_filename(), hashlib.sha1(part.get_payload(decode=True)).hexdigest())\n");
        QProcess reader;
        reader.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), py, maildir.filePath(QStringLiteral("boite"))});
        QVERIFY(reader.waitForFinished(30000));
        const QStringList lines = QString::fromUtf8(reader.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        QFile f(pdf);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString sha = QString::fromLatin1(QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1).toHex());
        QCOMPARE(lines, QStringList({QStringLiteral("Rapport du distributeur automatique d'E.P.I. : "),
                                     QStringLiteral("chef@exemple.fr"), QStringLiteral("test.pdf ") + sha}));
        server.kill();
        server.waitForFinished();
    }

    void smtpServerDown()
    {
        Site site;
        site.s.MailServer = QStringLiteral("127.0.0.1");
        site.s.MailPort = freePort(); // nothing listens there
        ScriptedUi ui;
        FenCrystalRep w(ui, site.s);
        QVERIFY(w.ImprimerEtat2(QStringLiteral("ConsParSite.RPT"), QString(), QStringLiteral("t"), QStringLiteral("CA")));
        w.findChild<QLineEdit*>(QStringLiteral("emailLineEdit"))->setText(QStringLiteral("chef@exemple.fr"));
        w.CmdEmail_Click();
        QVERIFY2(ui.lastMessage().startsWith(QStringLiteral("N°: -2147467259 Le message n'a pas pu être envoyé")), qPrintable(ui.lastMessage()));
    }

    void noMailSystemKeepsTheFile()
    {
        Site site;
        QTemporaryDir emptyPath;
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", emptyPath.path().toLocal8Bit()); // no xdg-email
        ScriptedUi ui;
        FenCrystalRep w(ui, site.s);
        QVERIFY(w.ImprimerEtat2(QStringLiteral("ConsParSite.RPT"), QString(), QStringLiteral("t"), QStringLiteral("CA")));
        w.findChild<QLineEdit*>(QStringLiteral("emailLineEdit"))->setText(QStringLiteral("chef@exemple.fr"));
        w.CmdEmail_Click();
        qputenv("PATH", path);
        QVERIFY(ui.lastMessage().contains(site.f.dir.filePath(QStringLiteral("test.pdf"))));
        QVERIFY(QFile::exists(site.f.dir.filePath(QStringLiteral("test.pdf"))));
    }
};

QTEST_MAIN(TstFenCrystalRep)
#include "tst_fencrystalrep.moc"
