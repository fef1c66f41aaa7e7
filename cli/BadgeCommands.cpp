#include "AppException.h"
#include "AppSettings.h"
#include "BadgeNumbers.h"
#include "Commands.h"
#include "EuroKey.h"
#include "FnZidurad.h"
#include "Secrets.h"

#include <QTextStream>

namespace Commands {

// Prints the completed 13-digit code and its barcode-font text.
int ean13(const QStringList& args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (args.size() != 1) {
        err << "usage : automat-cmd ean13 CHIFFRES (au plus 12 chiffres)\n";
        return 64;
    }
    const QString code = BadgeNumbers::CompletedEAN13(args.first());
    if (code.isEmpty()) {
        err << "« " << args.first() << " » n'est pas un numéro EAN-13 : au plus 12 chiffres.\n";
        return 1;
    }
    out << code << '\n' << BadgeNumbers::EAN13(args.first()) << '\n';
    return 0;
}

// Reads one badge: prints the number, "ERREUR" or an empty line.
int lireBadge(const QStringList& args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    QString port;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--port") && i + 1 < args.size()) {
            port = args[++i];
        } else {
            err << "usage : automat-cmd lire-badge [--port N|CHEMIN]\n";
            return 64;
        }
    }
    if (port.isEmpty()) {
        const QString folder = FnZidurad::ApplicationFolder();
        port = AppSettings::load(folder, Secrets::placeholders(), QStringLiteral(",")).BadgeReaderPort;
    }
    EuroKey reader(port);
    reader.OuvrirPortLecteur();
    if (!reader.isOpen()) {
        err << "Le port du lecteur de badge « " << port << " » ("
            << (EuroKey::deviceOfSetting(port).isEmpty() ? QStringLiteral("aucun périphérique")
                                                         : EuroKey::deviceOfSetting(port))
            << ") ne peut pas être ouvert.\n";
        return 1;
    }
    try {
        out << reader.LireNumeroBadge() << '\n';
    } catch (const AppException& e) {
        err << "N°: " << e.number() << ' ' << e.description() << '\n';
        return 1;
    }
    return 0;
}

} // namespace Commands
