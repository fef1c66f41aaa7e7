#include "AppException.h"
#include "AppSettings.h"
#include "Commands.h"
#include "Database.h"
#include "DemoData.h"
#include "FnZidurad.h"
#include "Secrets.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>

namespace Commands {

// Creates an embedded database with the schema, and the demo data with --demo.
int initDb(const QStringList& args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    QString file;
    bool demo = false, force = false;
    for (const QString& a : args) {
        if (a == QLatin1String("--demo"))
            demo = true;
        else if (a == QLatin1String("--force"))
            force = true;
        else if (!a.startsWith(QLatin1String("--")) && file.isEmpty())
            file = a;
        else {
            file.clear();
            break;
        }
    }
    if (file.isEmpty()) {
        err << "usage : automat-cmd init-db FICHIER [--demo] [--force]\n";
        return 64;
    }
    if (QFile::exists(file)) {
        if (!force) {
            err << "Le fichier « " << file << " » existe déjà : rien n'est écrasé sans --force.\n";
            return 1;
        }
        for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
            if (QFile::exists(file + suffix) && !QFile::remove(file + suffix)) {
                err << "Impossible de remplacer « " << file << suffix << " ».\n";
                return 1;
            }
    }
    QElapsedTimer timer;
    timer.start();
    try {
        auto db = Database::createFile(file);
        if (demo) {
            const DemoData::Counts c = DemoData::fill(*db);
            out << "Base de démonstration créée : " << file << " (" << c.articles << " articles, "
                << c.employees << " salariés, " << c.sales << " ventes, " << c.saleLines
                << " lignes de vente) en " << timer.elapsed() << " ms\n";
        } else {
            out << "Base créée : " << file << '\n';
        }
    } catch (const AppException& e) {
        err << "N°: " << e.number() << ' ' << e.description() << '\n';
        QFile::remove(file);
        return 1;
    }
    return 0;
}

// Runs one T-SQL text on the database of the folder, as the windows run it.
int sql(const QStringList& args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    QString text;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--dossier") && i + 1 < args.size())
            qputenv("AUTOMAT_HOME", args[++i].toLocal8Bit());
        else if (text.isEmpty())
            text = args[i];
        else
            text += u' ' + args[i];
    }
    if (text.trimmed().isEmpty()) {
        err << "usage : automat-cmd sql [--dossier DOSSIER] TEXTE\n";
        return 64;
    }
    const QString folder = FnZidurad::ApplicationFolder();
    const AppSettings settings = AppSettings::load(folder, Secrets::load(folder), AppSettings::SystemDecimalSeparator());
    try {
        auto db = Database::open(settings);
        if (SqlDialect::returnsRows(text)) {
            const ResultTable r = db->query(text);
            QStringList header;
            for (const ResultColumn& c : r.columns)
                header << c.name;
            if (!header.isEmpty())
                out << header.join(u'\t') << '\n';
            for (const auto& row : r.rows) {
                QStringList cells;
                for (const QVariant& v : row) {
                    if (v.isNull())
                        cells << QStringLiteral("NULL");
                    else if (v.typeId() == QMetaType::QDateTime)
                        cells << v.toDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
                    else if (v.typeId() == QMetaType::QByteArray)
                        cells << QStringLiteral("<%1 octets>").arg(v.toByteArray().size());
                    else
                        cells << v.toString().replace(u'\t', u' ').replace(u'\n', QStringLiteral("\\n"));
                }
                out << cells.join(u'\t') << '\n';
            }
            if (r.columns.isEmpty())
                out << "Commande exécutée.\n";
        } else {
            const qint64 n = db->execute(text);
            out << (n < 0 ? QStringLiteral("Commande exécutée.") : QStringLiteral("%1 ligne(s) modifiée(s).").arg(n)) << '\n';
        }
    } catch (const AppException& e) {
        err << "N°: " << e.number() << ' ' << e.description() << '\n';
        return 1;
    }
    return 0;
}

} // namespace Commands
