#include "BadgeNumbers.h"

#include <QProcess>
#include <QtTest>

class TstBadgeNumbers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void checksum_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::addRow("standard example") << "400638133393" << "4006381333931";
        QTest::addRow("check digit 0") << "000000000000" << "0000000000000";
        QTest::addRow("completed 124") << "124000000000" << "1240000000009";
        QTest::addRow("letters count 0") << "4006381333A3" << "4006381333A30";
        QTest::addRow("short text: missing positions count 0") << "124" << "1249";
        QTest::addRow("empty") << "" << "0";
    }
    void checksum()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(BadgeNumbers::CalculChecksumEAN13(text), expected);
    }

    void ean13_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::addRow("standard example") << "400638133393" << "4AKGDSL*dddjdb+";
        QTest::addRow("completed on the right") << "124" << "1CEKAKK*aaaaaj+";
        QTest::addRow("all zero") << "" << "0AAAAAA*aaaaaa+";
        // first digit 9: d3 B, d4 B, d5 A, d6 B, d7 A
        QTest::addRow("parity of first digit 9") << "911111111111" << "9BLLBLB*bbbbbi+";
        QTest::addRow("13 characters") << "4006381333931" << "";
        QTest::addRow("letter") << "12A" << "";
        QTest::addRow("minus sign") << "-12" << "";
        QTest::addRow("blank") << "12 4" << "";
    }
    void ean13()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const QString got = BadgeNumbers::EAN13(text);
        QCOMPARE(got, expected);
        if (!expected.isEmpty())
            QCOMPARE(got.size(), 15);
    }

    void commandLine()
    {
        QProcess p;
        p.start(QStringLiteral(AUTOMAT_CMD), {QStringLiteral("ean13"), QStringLiteral("124")});
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()), QStringLiteral("1240000000009\n1CEKAKK*aaaaaj+\n"));
        p.start(QStringLiteral(AUTOMAT_CMD), {QStringLiteral("ean13"), QStringLiteral("12x")});
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), 1);
    }
};

QTEST_GUILESS_MAIN(TstBadgeNumbers)
#include "tst_badgenumbers.moc"
