#include "Commands.h"
#include "ZipClass.h"
#include "ZipExtractionClass.h"

#include <QTextStream>

namespace Commands {

// Extracts an archive; statuses on standard output, errors on standard error.
// Status 0: all extracted; 2: some entries failed; 1: the archive could not be read.
int unzip(const QStringList& args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList paths;
    bool preserve = true, overwrite = true;
    for (const QString& a : args) {
        if (a == QLatin1String("--flat"))
            preserve = false;
        else if (a == QLatin1String("--no-overwrite"))
            overwrite = false;
        else
            paths << a;
    }
    if (paths.size() != 2) {
        err << "usage : automat-cmd unzip ARCHIVE DOSSIER [--flat] [--no-overwrite]\n";
        return 64;
    }
    ZipExtractionClass zip;
    int errors = 0;
    QObject::connect(&zip, &ZipExtractionClass::status, [&](const QString& t) { out << t << '\n'; out.flush(); });
    QObject::connect(&zip, &ZipExtractionClass::error, [&](int n, const QString& d) {
        ++errors;
        err << "Erreur " << n << " : " << d << '\n';
        err.flush();
    });
    if (!zip.OpenZip(paths[0]))
        return 1;
    const bool ok = zip.Extract(paths[1], preserve, overwrite);
    zip.CloseZip();
    if (!ok)
        return 1;
    return errors ? 2 : 0;
}

// Writes an archive of the files given (replacing an existing one).
int zip(const QStringList& args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList paths;
    QString comment;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--comment") && i + 1 < args.size())
            comment = args[++i];
        else
            paths << args[i];
    }
    if (paths.size() < 2) {
        err << "usage : automat-cmd zip ARCHIVE FICHIER... [--comment TEXTE]\n";
        return 64;
    }
    ZipClass archive;
    archive.setComment(comment);
    for (qsizetype i = 1; i < paths.size(); ++i)
        if (!archive.AddFile(paths[i])) {
            err << "Le fichier « " << paths[i] << " » n'existe pas ou ne peut pas être lu.\n";
            return 1;
        }
    if (!archive.WriteZip(paths[0], true)) {
        err << "L'archive « " << paths[0] << " » ne peut pas être écrite.\n";
        return 1;
    }
    out << archive.FileCount() << " fichier(s) dans " << paths[0] << '\n';
    return 0;
}

} // namespace Commands
