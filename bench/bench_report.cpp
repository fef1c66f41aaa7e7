// Renders a turnover report of 20,000 CA lines to PDF; prints the time and the peak
// memory of the process.
#include "Database.h"
#include "ReportLayout.h"
#include "ReportTemplate.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>
#include <sys/resource.h>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    auto db = Database::createFile(dir.filePath(QStringLiteral("bench.sqlite")));
    {
        Database::Transaction tx(*db);
        const QStringList sites = {"LYON GERLAND", "VÉNISSIEUX", "SAINT-PRIEST"};
        for (int i = 0; i < 20000; ++i)
            db->executeNative(QStringLiteral("INSERT INTO CA (NomMois, LaDate, Nom, Designation, Quantite, NomSite, NomService, PrixAchatUnit) "
                                             "VALUES ('février', ?, ?, ?, ?, ?, 'PRODUCTION', 3.2)"),
                              {QDateTime(QDate(2026, 2, 1), QTime(6, 0)).addSecs(i * 97), QStringLiteral("NOM%1").arg(i % 200),
                               QStringLiteral("Gant nitrile taille %1").arg(6 + i % 6), 1 + i % 4, sites[i % 3]});
        db->executeNative(QStringLiteral("INSERT INTO InfoEtat (Titre, Periode) VALUES ('Consommations par Sites', 'Période du 01/02/2026 au 28/02/2026')"));
        db->executeNative(QStringLiteral("INSERT INTO InfoSociete (Nom) VALUES ('PROTEC SERVICES INDUSTRIE')"));
        tx.commit();
    }
    ReportTemplate t;
    QString error;
    if (!ReportTemplate::parse(QStringLiteral(AUTOMAT_SOURCE_DIR "/rpt/ConsParSite.RPT"), &t, &error))
        qFatal("%s", qPrintable(error));
    QElapsedTimer timer;
    timer.start();
    QList<ResultTable> tables;
    for (const char* n : {"CA", "InfoEtat", "InfoSociete"})
        tables << db->query(QStringLiteral("SELECT * FROM ") + QLatin1String(n));
    const double read = timer.nsecsElapsed() / 1e6;
    ReportLayout layout;
    if (!ReportLayout::build(t, tables, &layout, &error))
        qFatal("%s", qPrintable(error));
    const double laid = timer.nsecsElapsed() / 1e6;
    const QString pdf = dir.filePath(QStringLiteral("rapport.pdf"));
    if (!layout.writePdf(pdf, &error))
        qFatal("%s", qPrintable(error));
    const double total = timer.nsecsElapsed() / 1e6;
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    out << QStringLiteral("Rapport de 20 000 lignes : %1 pages, %2 ms (lecture %3 ms, mise en page %4 ms, PDF %5 ms), "
                          "PDF de %6 Mo, mémoire de pointe %7 Mo\n")
               .arg(layout.pages.size())
               .arg(total, 0, 'f', 0)
               .arg(read, 0, 'f', 0)
               .arg(laid - read, 0, 'f', 0)
               .arg(total - laid, 0, 'f', 0)
               .arg(QFileInfo(pdf).size() / 1e6, 0, 'f', 1)
               .arg(u.ru_maxrss / 1024.0, 0, 'f', 0);
    return 0;
}
