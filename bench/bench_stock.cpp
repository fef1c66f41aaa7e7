// The stock window over 10,000 articles: opening it, and each keystroke of a search.
#include "AppSettings.h"
#include "Database.h"
#include "FrmStock.h"
#include "Recordset.h"
#include "ScriptedUi.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTest>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("stock.sqlite"));
    {
        auto db = Database::createFile(file);
        Database::Transaction tx(*db);
        db->executeNative(QStringLiteral("INSERT INTO Familles (NomFamille) VALUES ('GANTS')"));
        for (int i = 0; i < 10000; ++i)
            db->executeNative(QStringLiteral("INSERT INTO ArticleEnStock (Reference, CodeArticle, Designation, Famille, QteEnStock, StockAlert, "
                                             "PrixAchatUnit) VALUES (?, ?, ?, 1, ?, 10, 3.2)"),
                              {1000 + i, i < 2000 ? QVariant(i + 1) : QVariant(),
                               QStringLiteral("ARTICLE %1 %2").arg(QChar(u'A' + i % 26)).arg(i), i % 50});
        tx.commit();
    }
    AppSettings settings;
    settings.ApplicationFolder = dir.path();
    settings.DatabaseFile = file;
    ScriptedUi ui;
    QElapsedTimer t;
    t.start();
    FrmStock window(ui, settings);
    window.show();
    QCoreApplication::processEvents();
    const double open = t.nsecsElapsed() / 1e6;

    auto* search = window.findChild<QLineEdit*>(QStringLiteral("rechercheLineEdit"));
    QVector<double> keys;
    const auto type = [&](const QString& text) {
        search->clear();
        for (QChar c : text) {
            QElapsedTimer k;
            k.start();
            QTest::keyClicks(search, QString(c));
            QCoreApplication::processEvents();
            keys << k.nsecsElapsed() / 1e6;
        }
    };
    type(QStringLiteral("10999")); // by reference, near the end
    window.catalogue().AppliquerModeRecherche(2);
    window.catalogue().list().MoveFirst();
    QElapsedTimer k;
    for (const QString& prefix : {QStringLiteral("A"), QStringLiteral("AR"), QStringLiteral("ARTICLE Z 9")}) {
        k.start();
        window.catalogue().RechercherArticle(prefix);
        keys << k.nsecsElapsed() / 1e6;
    }
    std::sort(keys.begin(), keys.end());
    out << QStringLiteral("Fenêtre des articles sur 10 000 articles : ouverture %1 ms ; frappe de recherche : médiane %2 ms, "
                          "pire %3 ms (%4 frappes)\n")
               .arg(open, 0, 'f', 0)
               .arg(keys[keys.size() / 2], 0, 'f', 2)
               .arg(keys.last(), 0, 'f', 2)
               .arg(keys.size());
    return 0;
}
