#include "AppException.h"
#include "EuroKey.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The badge reader over a real serial line: a socat pty pair with a scripted reader
// at the far end.
class TstEuroKey : public QObject {
    Q_OBJECT

    struct Line {
        QTemporaryDir dir;
        QProcess socat;
        QProcess reader;
        QString appSide() const { return dir.filePath(QStringLiteral("app")); }

        ~Line()
        {
            reader.kill();
            reader.waitForFinished(2000);
            socat.terminate();
            if (!socat.waitForFinished(2000))
                socat.kill();
        }
    };

    static std::unique_ptr<Line> startLine(const QString& scenario)
    {
        auto line = std::make_unique<Line>();
        const QString a = line->dir.filePath(QStringLiteral("app"));
        const QString b = line->dir.filePath(QStringLiteral("reader"));
        line->socat.start(QStringLiteral("socat"),
                          {QStringLiteral("pty,raw,echo=0,link=") + a,
                           QStringLiteral("pty,raw,echo=0,link=") + b});
        QElapsedTimer t;
        t.start();
        while (!(QFileInfo::exists(a) && QFileInfo::exists(b)) && t.elapsed() < 5000)
            QTest::qWait(20);
        if (!QFileInfo::exists(b))
            return nullptr;
        line->reader.start(QStringLiteral("python3"),
                           {QStringLiteral(AUTOMAT_TEST_DATA "/badge_reader.py"), b, scenario});
        if (!line->reader.waitForReadyRead(5000))
            return nullptr;
        return line;
    }

private Q_SLOTS:
    void exchange_data()
    {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<QString>("expected");
        QTest::addRow("normal badge") << "normal" << "123456";
        QTest::addRow("no badge: FF FF") << "ffff" << "";
        QTest::addRow("12-byte answer") << "short" << "";
        QTest::addRow("silent reader") << "silent" << "ERREUR";
        QTest::addRow("slow reader within each limit") << "slow" << "123456";
        QTest::addRow("FF FF FF FF is -1") << "minus-one" << "-1";
        QTest::addRow("00 00 80 00 read unsigned") << "high-byte" << "32768";
        // The garbage runs into the answer: any of the three kinds of answer, in time.
        QTest::addRow("10,000 bytes of garbage first") << "flood" << "?";
    }

    void exchange()
    {
        QFETCH(QString, scenario);
        QFETCH(QString, expected);
        auto line = startLine(scenario);
        QVERIFY2(line, "socat pty pair and scripted reader");
        EuroKey reader(line->appSide());
        QElapsedTimer t;
        t.start();
        const QString answer = reader.LireNumeroBadge();
        if (expected == QLatin1String("?"))
            QVERIFY2(QRegularExpression(QStringLiteral("^(-?[0-9]+|ERREUR|)$")).match(answer).hasMatch(),
                     qPrintable(answer));
        else
            QCOMPARE(answer, expected);
        if (scenario == QLatin1String("silent")) {
            // About one second, loosely.
            QVERIFY(t.elapsed() >= 900);
            QVERIFY(t.elapsed() < 3000);
        }
        QVERIFY(t.elapsed() < 6500);
    }

    void portIsOpenedOnceAndStaysOpen()
    {
        auto line = startLine(QStringLiteral("normal"));
        QVERIFY(line);
        EuroKey reader(line->appSide());
        reader.OuvrirPortLecteur();
        QVERIFY(reader.isOpen());
        reader.OuvrirPortLecteur();
        QVERIFY(reader.isOpen());
        QCOMPARE(reader.LireNumeroBadge(), QStringLiteral("123456"));
    }

    void readerGoneMidExchange()
    {
        auto line = startLine(QStringLiteral("hangup"));
        QVERIFY(line);
        EuroKey reader(line->appSide());
        QElapsedTimer t;
        t.start();
        try {
            const QString answer = reader.LireNumeroBadge();
            QVERIFY2(answer.isEmpty() || answer == QLatin1String("ERREUR"), qPrintable(answer));
        } catch (const AppException& e) {
            QCOMPARE(e.number(), 8018L);
        }
        QVERIFY(t.elapsed() < 6500);
    }

    void unusablePorts_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addRow("port 0") << "0";
        QTest::addRow("no such device") << "/dev/does-not-exist";
        QTest::addRow("not a serial device") << "/dev/null";
        QTest::addRow("text") << "COM-quoi";
    }
    void unusablePorts()
    {
        QFETCH(QString, setting);
        EuroKey reader(setting);
        reader.OuvrirPortLecteur(); // silent
        QVERIFY(!reader.isOpen());
        try {
            reader.LireNumeroBadge();
            QFAIL("the first send must fail when the port is closed");
        } catch (const AppException& e) {
            QCOMPARE(e.number(), 8018L);
        }
    }

    void portSetting_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("device");
        QTest::addRow("COM1") << "1" << "/dev/ttyS0";
        QTest::addRow("COM4") << " 4 " << "/dev/ttyS3";
        QTest::addRow("zero") << "0" << "";
        QTest::addRow("path") << "/dev/ttyUSB0" << "/dev/ttyUSB0";
    }
    void portSetting()
    {
        QFETCH(QString, setting);
        QFETCH(QString, device);
        QCOMPARE(EuroKey::deviceOfSetting(setting), device);
    }

    void commandLineReadsABadge()
    {
        auto line = startLine(QStringLiteral("normal"));
        QVERIFY(line);
        QProcess p;
        p.start(QStringLiteral(AUTOMAT_CMD), {QStringLiteral("lire-badge"), QStringLiteral("--port"), line->appSide()});
        QVERIFY(p.waitForFinished(15000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()), QStringLiteral("123456\n"));

        p.start(QStringLiteral(AUTOMAT_CMD), {QStringLiteral("lire-badge"), QStringLiteral("--port"), QStringLiteral("0")});
        QVERIFY(p.waitForFinished(15000));
        QCOMPARE(p.exitCode(), 1);
    }
};

QTEST_GUILESS_MAIN(TstEuroKey)
#include "tst_eurokey.moc"
