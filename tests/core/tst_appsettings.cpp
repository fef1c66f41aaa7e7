#include "AppSettings.h"
#include "Crypte.h"
#include "Secrets.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TstAppSettings : public QObject {
    Q_OBJECT

    static void write(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    static QString runtimePassword() { return Crypte::Crypte(Secrets::placeholders().scrambledPassword, Secrets::placeholders().cryptKey).left(5); }

private Q_SLOTS:
    void connectionString_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("mask");

        const QString pw = runtimePassword();
        const QString fixed = Secrets::placeholders().fixedPassword;
        QTest::addRow("no automat.ini") << QByteArray()
            << "uid=sa;pwd=" + pw + ";driver={SQL Server}; server=VOREROZIVER\\AUTOMATE;database=ZUR;dsn=''"
            << true;
        QTest::addRow("server and name")
            << QByteArray("[Base de donnée]\nServeur=SRV01\\SQLEXPRESS\nNom=GESTION\n[App]\nMasqueCB=OUI\n")
            << "uid=sa;pwd=" + pw + ";driver={SQL Server}; server=SRV01\\SQLEXPRESS;database=GESTION;dsn=''"
            << true;
        QTest::addRow("P selects the fixed password")
            << QByteArray("[Base de donnée]\nP=1\n")
            << "uid=sa;pwd=" + fixed + ";driver={SQL Server}; server=VOREROZIVER\\AUTOMATE;database=ZUR;dsn=''"
            << true;
        QTest::addRow("sa=0 logs in without user, whatever P holds")
            << QByteArray("[Base de donnée]\nsa=0\nP=x\n[App]\nMasqueCB=oui\n")
            << "uid=;pwd=;driver={SQL Server}; server=VOREROZIVER\\AUTOMATE;database=ZUR;dsn=''"
            << false;
        QTest::addRow("sa=2 is not 1")
            << QByteArray("[Base de donnée]\nsa=2\n")
            << "uid=;pwd=;driver={SQL Server}; server=VOREROZIVER\\AUTOMATE;database=ZUR;dsn=''"
            << true;
        QTest::addRow("MasqueCB NON clears masking")
            << QByteArray("[App]\nMasqueCB=NON\n")
            << "uid=sa;pwd=" + pw + ";driver={SQL Server}; server=VOREROZIVER\\AUTOMATE;database=ZUR;dsn=''"
            << false;
        QTest::addRow("windows-1252 section name")
            << QByteArray("[Base de donn\xe9""e]\nNom=AUTRE\n")
            << "uid=sa;pwd=" + pw + ";driver={SQL Server}; server=VOREROZIVER\\AUTOMATE;database=AUTRE;dsn=''"
            << true;
    }

    void connectionString()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, expected);
        QFETCH(bool, mask);
        QTemporaryDir dir;
        if (!ini.isEmpty())
            write(dir.filePath(QStringLiteral("automat.ini")), ini);
        const AppSettings s = AppSettings::load(dir.path(), Secrets::placeholders(), QStringLiteral(","));
        QCOMPARE(s.ConnectionString, expected);
        QCOMPARE(s.MaskCardNumbers, mask);
        QCOMPARE(s.IniPath, dir.path() + QStringLiteral("/automat.ini"));
        QVERIFY(!s.maskedConnectionString().contains(runtimePassword()));
    }

    void defaultsAndNewKeys()
    {
        QTemporaryDir dir;
        AppSettings s = AppSettings::load(dir.path(), Secrets::placeholders(), QStringLiteral("."));
        QCOMPARE(s.ImageFolder, dir.path() + QStringLiteral("/image"));
        QCOMPARE(s.DecimalSeparator, QStringLiteral("."));
        QCOMPARE(s.DatabaseFile, QString());
        QCOMPARE(s.BadgeMode, 1);
        QCOMPARE(s.BadgeReaderPort, QStringLiteral("0"));
        QCOMPARE(s.ReservedProfile, 0);

        // The file is found whatever the case of its name; relative paths are the folder's.
        write(dir.filePath(QStringLiteral("AUTOMAT.INI")),
              "[Base de donnée]\nChemin Image=/srv/photos\nFichier=data\\demo.sqlite\n"
              "[Salariés]\nBadgeMode=3\nBadgeReaderPort=/dev/ttyUSB0\nShoeSizeFamily=4\n"
              "HandSizeFamily=5\nReservedProfile=9\n");
        s = AppSettings::load(dir.path(), Secrets::placeholders(), QStringLiteral(","));
        QCOMPARE(s.ImageFolder, QStringLiteral("/srv/photos"));
        QCOMPARE(s.DatabaseFile, dir.path() + QStringLiteral("/data/demo.sqlite"));
        QCOMPARE(s.BadgeMode, 3);
        QCOMPARE(s.BadgeReaderPort, QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(s.ShoeSizeFamily, 4);
        QCOMPARE(s.HandSizeFamily, 5);
        QCOMPARE(s.ReservedProfile, 9);
    }

    void decimalSeparatorFollowsLocale_data()
    {
        QTest::addColumn<QByteArray>("lang");
        QTest::addColumn<QString>("expected");
        QTest::addRow("no locale") << QByteArray() << ",";
        QTest::addRow("C") << QByteArray("C") << ",";
        QTest::addRow("French") << QByteArray("fr_FR.UTF-8") << ",";
        QTest::addRow("English") << QByteArray("en_US.UTF-8") << ".";
    }
    void decimalSeparatorFollowsLocale()
    {
        QFETCH(QByteArray, lang);
        QFETCH(QString, expected);
        const QByteArray saved = qgetenv("LANG");
        qunsetenv("LC_ALL");
        qunsetenv("LC_NUMERIC");
        if (lang.isEmpty())
            qunsetenv("LANG");
        else
            qputenv("LANG", lang);
        const QString got = AppSettings::SystemDecimalSeparator();
        qputenv("LANG", saved);
        QCOMPARE(got, expected);
    }

    void secretsFromProtectedFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(Secrets::fileName());
        const QString key = QStringLiteral("abcdefgh");
        const QString scrambled = Crypte::Scramble(QStringLiteral("S3cr!xxxxxxxxxx"), key);
        write(path, "[Secrets]\nMotDePasseFixe=qq\nCleCrypte=" + key.toUtf8() +
                        "\nMotDePasseBrouille=" + scrambled.toUtf8() + "\n");
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        Secrets secrets = Secrets::load(dir.path());
        QCOMPARE(secrets.warning, QString());
        AppSettings s = AppSettings::load(dir.path(), secrets, QStringLiteral(","));
        QCOMPARE(s.DatabasePassword, QStringLiteral("S3cr!"));

        // Readable by others: refused, placeholders kept.
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
        secrets = Secrets::load(dir.path());
        QVERIFY(!secrets.warning.isEmpty());
        QVERIFY(!secrets.warning.contains(QStringLiteral("S3cr")));
        QCOMPARE(secrets.fixedPassword, Secrets::placeholders().fixedPassword);
    }
};

QTEST_GUILESS_MAIN(TstAppSettings)
#include "tst_appsettings.moc"
