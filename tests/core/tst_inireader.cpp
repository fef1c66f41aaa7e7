#include "FnZidurad.h"
#include "IniReader.h"
#include "ScriptedUi.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// The configuration reader must answer what the Windows reader answers for the same file.
class TstIniReader : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString write(const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(QStringLiteral("automat.ini"));
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(bytes);
        return path;
    }

private Q_SLOTS:
    void readsString_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");

        const QByteArray base = "[Base de donnée]\nNom=GESTION\nServeur = SRV\\SQL \n";
        QTest::addRow("plain") << base << "Base de donnée" << "Nom" << "GESTION";
        QTest::addRow("blanks around value trimmed") << base << "Base de donnée" << "Serveur" << "SRV\\SQL";
        QTest::addRow("section and key ignore case") << base << "BASE DE DONNÉE" << "nOM" << "GESTION";
        QTest::addRow("missing key gives default") << base << "Base de donnée" << "P" << "<def>";
        QTest::addRow("missing section gives default") << base << "App" << "Nom" << "<def>";
        QTest::addRow("empty file") << QByteArray() << "App" << "MasqueCB" << "<def>";
        QTest::addRow("duplicate key: first wins")
            << QByteArray("[App]\nMasqueCB=NON\nMasqueCB=OUI\n") << "App" << "MasqueCB" << "NON";
        QTest::addRow("duplicate section: first searched only")
            << QByteArray("[App]\nA=1\n[App]\nMasqueCB=OUI\n") << "App" << "MasqueCB" << "<def>";
        QTest::addRow("comment line ignored")
            << QByteArray("[App]\n;MasqueCB=NON\nMasqueCB=OUI") << "App" << "MasqueCB" << "OUI";
        QTest::addRow("semicolon inside a value kept")
            << QByteArray("[App]\nX=a;b\n") << "App" << "X" << "a;b";
        QTest::addRow("key before any section not found")
            << QByteArray("MasqueCB=NON\n[App]\n") << "App" << "MasqueCB" << "<def>";
        QTest::addRow("no trailing newline")
            << QByteArray("[App]\nMasqueCB=non") << "App" << "MasqueCB" << "non";
        QTest::addRow("CRLF lines")
            << QByteArray("[App]\r\nMasqueCB=OUI\r\nX=1\r\n") << "App" << "MasqueCB" << "OUI";
        QTest::addRow("quotes stripped")
            << QByteArray("[App]\nX=\"  a b \"\n") << "App" << "X" << "a b";
        QTest::addRow("single quote alone kept")
            << QByteArray("[App]\nX='abc\n") << "App" << "X" << "'abc";
        QTest::addRow("key without equals gives default")
            << QByteArray("[App]\nX\n") << "App" << "X" << "<def>";
        QTest::addRow("empty value is empty")
            << QByteArray("[App]\nX=\n") << "App" << "X" << "";
        QTest::addRow("equals inside value")
            << QByteArray("[App]\nX=a=b\n") << "App" << "X" << "a=b";
        QTest::addRow("unclosed section header ignored")
            << QByteArray("[App\nX=1\n[App]\nX=2\n") << "App" << "X" << "2";
        QTest::addRow("windows-1252 file")
            << QByteArray("[Base de donn\xe9""e]\nNom=Soci\xe9t\xe9\n") << "Base de donnée" << "Nom" << "Société";
        QTest::addRow("utf-8 with BOM")
            << QByteArray("\xEF\xBB\xBF[Base de donnée]\nNom=Zoé\n") << "Base de donnée" << "Nom" << "Zoé";
        QTest::addRow("utf-16 with BOM")
            << QByteArray("\xFF\xFE[\0A\0]\0\n\0X\0=\0\xe9\0\n\0", 22) << "A" << "X" << "é";
        QTest::addRow("binary garbage")
            << QByteArray("\x00\x01\xff[\x00]\n=\x00\x80\n\xfe", 12) << "App" << "X" << "<def>";
        QTest::addRow("value cut to 254 characters")
            << QByteArray("[App]\nX=") + QByteArray(10000, 'a') + "\n" << "App" << "X" << QString(254, u'a');
        QTest::addRow("no-break space is not trimmed")
            << QByteArray("[App]\nX= a\xc2\xa0 \n") << "App" << "X" << QStringLiteral("a\u00a0");
        QTest::addRow("cut before trim")
            << QByteArray("[App]\nX=") + QByteArray(253, 'a') + "  b\n" << "App" << "X" << QString(253, u'a');
    }

    void readsString()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        const QString path = write(content);
        QCOMPARE(FnZidurad::LireIniString(path, section, key, QStringLiteral("<def>")), expected);
    }

    void readsInteger_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("expected");
        QTest::addRow("one") << QByteArray("1") << 1;
        QTest::addRow("zero") << QByteArray("0") << 0;
        QTest::addRow("negative") << QByteArray("-3") << -3;
        QTest::addRow("digits then text") << QByteArray(" 12abc") << 12;
        QTest::addRow("text") << QByteArray("abc") << 0;
        QTest::addRow("empty gives default") << QByteArray("") << 7;
        QTest::addRow("cut to 16 bits") << QByteArray("65537") << 1;
        QTest::addRow("16-bit wrap to negative") << QByteArray("40000") << -25536;
        QTest::addRow("32-bit wrap") << QByteArray("4294967297") << 1;
    }

    void readsInteger()
    {
        QFETCH(QByteArray, value);
        QFETCH(int, expected);
        const QString path = write("[Base de donnée]\nsa=" + value + "\n");
        QCOMPARE(int(FnZidurad::LireIniInteger(path, QStringLiteral("Base de donnée"),
                                               QStringLiteral("sa"), 7)),
                 expected);
    }

    void missingFileGivesDefaults()
    {
        const QString path = m_dir.filePath(QStringLiteral("absent.ini"));
        QCOMPARE(FnZidurad::LireIniString(path, QStringLiteral("A"), QStringLiteral("B"), QStringLiteral(" d ")),
                 QStringLiteral("d"));
        QCOMPARE(int(FnZidurad::LireIniInteger(path, QStringLiteral("A"), QStringLiteral("B"), 1)), 1);
    }

    void unreadableFileGivesDefaultsSilently()
    {
        // A missing or unreadable configuration is no error: every key takes its default.
        ScriptedUi ui;
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("x.ini")));
        const QString path = dir.filePath(QStringLiteral("x.ini"));
        QCOMPARE(FnZidurad::LireIniString(path, QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("d"), &ui),
                 QStringLiteral("d"));
        QCOMPARE(int(FnZidurad::LireIniInteger(path, QStringLiteral("A"), QStringLiteral("B"), 5, &ui)), 5);
        QVERIFY(ui.shown().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstIniReader)
#include "tst_inireader.moc"
