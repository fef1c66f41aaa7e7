// Writes 65,536 rows of the 19 columns of the sales export and reports the time and
// the memory the process took (peak resident size).
#include "XlsTableWriter.h"
#include "XlsWorkbook.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <sys/resource.h>

namespace {
long peakKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    const long before = peakKb();
    QElapsedTimer t;
    t.start();
    XlsWorkbook wb;
    const int money = wb.style({QStringLiteral("Arial"), 10, false, QStringLiteral("0.00"), -1});
    const QStringList headers = {"IdentMachine", "NumVente", "LaDate", "NoCBClient", "NoRemiseTelecollecte",
                                 "DateTelecollecte", "Ticket", "Montant", "EcoTaxe", "TVA", "RefProduit", "Designation",
                                 "NoIMEI", "NoSIM", "Quantite", "EAN13recharge", "NoSerieRecharge", "NoCommande", "NomFamille"};
    XlsTableWriter table(wb, QStringLiteral("Ventes"), headers, {-1, -1, -1, -1, -1, -1, -1, money, money});
    const QDateTime start(QDate(2026, 1, 1), QTime(8, 0));
    for (int r = 0; r < 65535; ++r) {
        table.addRow({QStringLiteral("DA0%1").arg(r % 6), 50000 + r, start.addSecs(r * 317), QVariant(),
                      QVariant(), QVariant(), QVariant(), 0.0, 0.0, 20.0, double(1000 + r % 150),
                      QStringLiteral("Gant nitrile T%1    ").arg(6 + r % 6), QVariant(), QVariant(), 1 + r % 3,
                      QVariant(), QVariant(), QVariant(), QStringLiteral("GANTS")});
    }
    const double fill = t.nsecsElapsed() / 1e6;
    const QString file = dir.filePath(QStringLiteral("exportventes.xls"));
    wb.save(file);
    const double total = t.nsecsElapsed() / 1e6;
    out << QStringLiteral("65 536 lignes x 19 colonnes : %1 ms (cellules %2 ms, écriture %3 ms), fichier %4 Mo, "
                          "mémoire de pointe +%5 Mo\n")
               .arg(total, 0, 'f', 0)
               .arg(fill, 0, 'f', 0)
               .arg(total - fill, 0, 'f', 0)
               .arg(QFileInfo(file).size() / 1e6, 0, 'f', 1)
               .arg((peakKb() - before) / 1024.0, 0, 'f', 1);
    return 0;
}
