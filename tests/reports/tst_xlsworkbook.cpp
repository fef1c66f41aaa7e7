#include "XlsTableWriter.h"
#include "XlsTemplate.h"
#include "XlsWorkbook.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <freexl.h>

namespace {

// A cell as FreeXL reads it: its type and its value as text.
struct Read {
    int type = 0;
    QString value;
};

QList<QList<Read>> readOpenSheet(const void* h, int sheet, unsigned* rowsOut)
{
    QList<QList<Read>> rows;
    freexl_select_active_worksheet(h, quint16(sheet));
    unsigned int nr = 0;
    unsigned short nc = 0;
    freexl_worksheet_dimensions(h, &nr, &nc);
    if (rowsOut)
        *rowsOut = nr;
    for (unsigned r = 0; r < qMin(nr, 50u); ++r) {
        QList<Read> row;
        for (unsigned short c = 0; c < nc; ++c) {
            FreeXL_CellValue v;
            freexl_get_cell_value(h, r, c, &v);
            Read x;
            x.type = v.type;
            if (v.type == FREEXL_CELL_INT)
                x.value = QString::number(v.value.int_value);
            else if (v.type == FREEXL_CELL_DOUBLE)
                x.value = QString::number(v.value.double_value, 'g', 17);
            else if (v.type != FREEXL_CELL_NULL)
                x.value = QString::fromUtf8(v.value.text_value);
            row << x;
        }
        rows << row;
    }
    return rows;
}

QList<QList<Read>> readSheet(const QString& path, int sheet, unsigned* rowsOut = nullptr)
{
    const void* h = nullptr;
    if (freexl_open(path.toLocal8Bit().constData(), &h) != FREEXL_OK)
        return {};
    const auto rows = readOpenSheet(h, sheet, rowsOut);
    freexl_close(h);
    return rows;
}

QStringList sheetNames(const void* h)
{
    QStringList names;
    unsigned int n = 0;
    freexl_get_info(h, FREEXL_BIFF_SHEET_COUNT, &n);
    for (unsigned i = 0; i < n; ++i) {
        const char* name = nullptr;
        freexl_get_worksheet_name(h, quint16(i), &name);
        names << QString::fromUtf8(name);
    }
    return names;
}

} // namespace

class TstXlsWorkbook : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    // LibreOffice converts the workbook (headless); the output files of the conversion.
    QStringList libreOffice(const QString& file, const QString& filter)
    {
        const QString out = m_dir.filePath(QStringLiteral("lo-") + QFileInfo(file).baseName());
        QDir().mkpath(out);
        QProcess p;
        // Numbers shown with a point, whatever the locale of the run.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("soffice"), {QStringLiteral("--headless"),
                                            QStringLiteral("-env:UserInstallation=file://") + m_dir.filePath(QStringLiteral("profil")),
                                            QStringLiteral("--convert-to"), filter, QStringLiteral("--outdir"), out, file});
        if (!p.waitForFinished(180000))
            return {};
        QStringList files;
        for (const QString& f : QDir(out).entryList(QDir::Files, QDir::Name))
            files << QDir(out).filePath(f);
        return files;
    }

    static QString readText(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

private Q_SLOTS:
    void roundTripThroughFreeXL_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("expected");
        QTest::addRow("accents") << QVariant(QStringLiteral("Gant nitrile « taille 9 » é à ç ü")) << FREEXL_CELL_SST_TEXT << "Gant nitrile « taille 9 » é à ç ü";
        QTest::addRow("beyond Latin-1") << QVariant(QStringLiteral("Œuvre € – ✓")) << FREEXL_CELL_SST_TEXT << "Œuvre € – ✓";
        QTest::addRow("apostrophe") << QVariant(QStringLiteral("D'ALMEIDA")) << FREEXL_CELL_SST_TEXT << "D'ALMEIDA";
        QTest::addRow("line break") << QVariant(QStringLiteral("ligne 1\nligne 2")) << FREEXL_CELL_SST_TEXT << "ligne 1\nligne 2";
        QTest::addRow("250 characters") << QVariant(QString(250, u'x')) << FREEXL_CELL_SST_TEXT << QString(250, u'x');
        QTest::addRow("negative") << QVariant(-12.75) << FREEXL_CELL_DOUBLE << "-12.75";
        QTest::addRow("large") << QVariant(qlonglong(1234567890123456LL)) << FREEXL_CELL_DOUBLE << "1234567890123456";
        QTest::addRow("integer") << QVariant(42) << FREEXL_CELL_DOUBLE << "42";
        QTest::addRow("date") << QVariant(QDate(2026, 2, 28)) << FREEXL_CELL_DATE << "2026-02-28";
        QTest::addRow("date-time to the second") << QVariant(QDateTime(QDate(2026, 3, 1), QTime(23, 59, 59))) << FREEXL_CELL_DATETIME << "2026-03-01 23:59:59";
        QTest::addRow("empty") << QVariant() << FREEXL_CELL_NULL << "";
    }
    void roundTripThroughFreeXL()
    {
        QFETCH(QVariant, value);
        QFETCH(int, type);
        QFETCH(QString, expected);
        XlsWorkbook wb;
        wb.addSheet(QStringLiteral("Ventes"));
        QVERIFY(wb.setCell(0, 0, QStringLiteral("avant")));
        QVERIFY(wb.setCell(1, 1, value));
        QVERIFY(wb.setCell(2, 2, QStringLiteral("après")));
        const QString file = m_dir.filePath(QStringLiteral("cellule.xls"));
        QVERIFY(wb.save(file));
        const auto rows = readSheet(file, 0);
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[1][1].type, type);
        QCOMPARE(rows[1][1].value, expected);
        QCOMPARE(rows[2][2].value, QStringLiteral("après"));
    }

    void manyStringsAcrossContinueRecords()
    {
        // Enough distinct strings to spread the shared-string table over many records,
        // some of them split in the middle.
        XlsWorkbook wb;
        wb.addSheet(QStringLiteral("Textes"));
        for (int r = 0; r < 3000; ++r) {
            wb.setCell(r, 0, QStringLiteral("Désignation n° %1 ").arg(r) + QString(r % 97, u'é'));
            wb.setCell(r, 1, QStringLiteral("Ω%1").arg(r));
        }
        const QString file = m_dir.filePath(QStringLiteral("textes.xls"));
        QVERIFY(wb.save(file));
        unsigned n = 0;
        const auto rows = readSheet(file, 0, &n);
        QCOMPARE(n, 3000u);
        QCOMPARE(rows[49][0].value, QStringLiteral("Désignation n° 49 ") + QString(49, u'é'));
        QCOMPARE(rows[49][1].value, QStringLiteral("Ω49"));
        // The last rows too, through LibreOffice.
        const QStringList csv = libreOffice(file, QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true,false,false"));
        QCOMPARE(csv.size(), 1);
        const QStringList lines = readText(csv.first()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3000);
        QCOMPARE(lines.last(), QStringLiteral("Désignation n° 2999 ") + QString(2999 % 97, u'é') + QStringLiteral(",Ω2999"));
    }

    void libreOfficeReadsEverySheet()
    {
        XlsWorkbook wb;
        XlsTableWriter table(wb, QStringLiteral("Ventes"), {QStringLiteral("NumVente"), QStringLiteral("LaDate"), QStringLiteral("Montant"), QStringLiteral("Designation")},
                             {-1, -1, wb.style({QStringLiteral("Arial"), 10, false, QStringLiteral("0.00"), -1}), -1});
        table.addRow({50001, QDateTime(QDate(2026, 2, 1), QTime(8, 5, 0)), 20.0, QStringLiteral("Recharge 20 EUR")});
        table.addRow({50002, QDateTime(QDate(2026, 2, 2), QTime(17, 30, 15)), 3.5, QStringLiteral("Gant \"nitrile\"")});
        wb.addSheet(QStringLiteral("Autre"));
        wb.setCell(0, 0, true);
        wb.setCell(0, 1, -0.5);
        const QString file = m_dir.filePath(QStringLiteral("deux.xls"));
        QVERIFY(wb.save(file));
        const QStringList csv = libreOffice(file, QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true,false,false,-1"));
        QCOMPARE(csv.size(), 2);
        QCOMPARE(readText(csv[1]), QStringLiteral("NumVente,LaDate,Montant,Designation\n"
                                                  "50001,01/02/2026 08:05:00,20.00,Recharge 20 EUR\n"
                                                  "50002,02/02/2026 17:30:15,3.50,\"Gant \"\"nitrile\"\"\"\n"));
        // LibreOffice shows a boolean cell of General format as its number.
        QCOMPARE(readText(csv[0]), QStringLiteral("1,-0.5\n"));
    }

    void formattingSeenByLibreOffice()
    {
        XlsWorkbook wb;
        wb.addSheet(QStringLiteral("Feuil1"));
        const int small = wb.style({QStringLiteral("Arial"), 8, false, QString(), -1});
        const int total = wb.style({QStringLiteral("Arial"), 8, true, QString(), 9294334});
        const int mono = wb.style({QStringLiteral("Courier New"), 12, false, QString(), -1});
        wb.setCell(4, 0, QStringLiteral("LYON"), small);
        wb.setCell(5, 2, QStringLiteral("TOTAL"), total);
        wb.setCell(6, 1, QStringLiteral("code"), mono);
        wb.setColumnWidth(1, 40);
        const QString file = m_dir.filePath(QStringLiteral("format.xls"));
        QVERIFY(wb.save(file));
        const QStringList ods = libreOffice(file, QStringLiteral("fods"));
        QCOMPARE(ods.size(), 1);
        const QString xml = readText(ods.first());
        // 9294334 is red 254, green 209, blue 141.
        QVERIFY2(xml.contains(QStringLiteral("fo:background-color=\"#fed18d\"")), "fill colour");
        QVERIFY(xml.contains(QStringLiteral("fo:font-weight=\"bold\"")));
        QVERIFY(xml.contains(QStringLiteral("fo:font-size=\"8pt\"")));
        QVERIFY(xml.contains(QStringLiteral("style:font-name=\"Courier New\"")));
        // Column B is 40 characters wide, far wider than the others.
        QRegularExpression width(QStringLiteral("style:column-width=\"([0-9.]+)in\""));
        double widest = 0;
        for (auto it = width.globalMatch(xml); it.hasNext();)
            widest = qMax(widest, it.next().captured(1).toDouble());
        QVERIFY2(widest > 3.0, qPrintable(QString::number(widest)));
    }

    void longExportsGoOnInFurtherSheets()
    {
        XlsWorkbook wb;
        QStringList headers;
        for (int c = 0; c < 19; ++c)
            headers << QStringLiteral("Col%1").arg(c);
        XlsTableWriter table(wb, QStringLiteral("Ventes"), headers);
        for (int r = 0; r < 140000; ++r) {
            QVariantList row;
            row << r << QStringLiteral("DA0%1").arg(r % 7) << QDateTime(QDate(2026, 1, 1), QTime(0, 0)).addSecs(r * 60);
            table.addRow(row);
        }
        QCOMPARE(table.sheetCount(), 3);
        const QString file = m_dir.filePath(QStringLiteral("long.xls"));
        QVERIFY(wb.save(file));
        unsigned n1 = 0, n2 = 0, n3 = 0;
        const void* h = nullptr;
        QCOMPARE(freexl_open(file.toLocal8Bit().constData(), &h), FREEXL_OK); // once: it reads the whole file
        QCOMPARE(sheetNames(h), QStringList({QStringLiteral("Ventes"), QStringLiteral("Ventes (2)"), QStringLiteral("Ventes (3)")}));
        auto s1 = readOpenSheet(h, 0, &n1);
        auto s2 = readOpenSheet(h, 1, &n2);
        auto s3 = readOpenSheet(h, 2, &n3);
        freexl_close(h);
        QCOMPARE(n1, 65536u);
        QCOMPARE(s1.value(1).value(0).value, QStringLiteral("0"));
        QCOMPARE(n2, 65536u);
        QCOMPARE(n3, 140000u - 2 * 65535u + 1);
        QCOMPARE(s2[0][0].value, QStringLiteral("Col0")); // each sheet has the header row
        QCOMPARE(s2[1][0].value, QStringLiteral("65535")); // and the rows go on without a gap
        QCOMPARE(s3[1][0].value, QStringLiteral("131070"));
    }

    void headerOnlyWorkbookOpens()
    {
        XlsWorkbook wb;
        XlsTableWriter table(wb, QStringLiteral("Ventes"), {QStringLiteral("IdentMachine"), QStringLiteral("NumVente")});
        const QString file = m_dir.filePath(QStringLiteral("vide.xls"));
        QVERIFY(wb.save(file));
        unsigned n = 0;
        QCOMPARE(readSheet(file, 0, &n).value(0).value(1).value, QStringLiteral("NumVente"));
        QCOMPARE(n, 1u);
        const QStringList csv = libreOffice(file, QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true,false,false"));
        QCOMPARE(csv.size(), 1);
        QCOMPARE(readText(csv.first()), QStringLiteral("IdentMachine,NumVente\n"));
    }

    void templateHeadingRows()
    {
        // A template written by LibreOffice: its heading rows go to the top of ours.
        QList<QVariantList> rows;
        QString error;
        QVERIFY2(XlsTemplate::readRows(QStringLiteral(AUTOMAT_TEST_DATA "/DotationMO.xls"), QString(), 3, &rows, &error), qPrintable(error));
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[1][0].toString(), QStringLiteral("Dotation du personnel"));
        QCOMPARE(rows[2][2].toString(), QStringLiteral("Profil"));
        XlsWorkbook wb;
        wb.addSheet(QStringLiteral("Feuil1"));
        XlsTemplate::copyRows(wb, rows);
        wb.setCell(4, 0, QStringLiteral("LYON"));
        const QString file = m_dir.filePath(QStringLiteral("Dotation.xls"));
        QVERIFY(wb.save(file));
        const auto back = readSheet(file, 0);
        QCOMPARE(back[1][0].value, QStringLiteral("Dotation du personnel"));
        QCOMPARE(back[4][0].value, QStringLiteral("LYON"));
        QVERIFY(!XlsTemplate::readRows(m_dir.filePath(QStringLiteral("absent.xls")), QString(), 3, &rows, &error));
        QVERIFY(error.contains(QStringLiteral("absent.xls")));
    }

    void safeWriting()
    {
        const QString file = m_dir.filePath(QStringLiteral("exportventes.xls"));
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("ancien contenu");
        }
        XlsWorkbook wb;
        wb.setCell(0, 0, QStringLiteral("x"));
        QString error;
        QVERIFY(!wb.save(m_dir.filePath(QStringLiteral("dossier/absent/exportventes.xls")), &error));
        QVERIFY(error.contains(QStringLiteral("ne peut pas être écrit")));
        QVERIFY(!wb.setCell(65536, 0, 1));
        QVERIFY(!wb.setCell(0, 256, 1));
        QVERIFY(wb.save(file));
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("exportventes*")}, QDir::Files), QStringList{QStringLiteral("exportventes.xls")});
        QCOMPARE(readSheet(file, 0).value(0).value(0).value, QStringLiteral("x"));
    }

    void serialDates()
    {
        QCOMPARE(XlsWorkbook::serial(QDateTime(QDate(1899, 12, 31), QTime(0, 0))), 1.0);
        QCOMPARE(XlsWorkbook::serial(QDateTime(QDate(2026, 1, 1), QTime(12, 0))), 46023.5);
    }
};

QTEST_GUILESS_MAIN(TstXlsWorkbook)
#include "tst_xlsworkbook.moc"
