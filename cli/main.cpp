#include "Commands.h"
#include "Version.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLocale>
#include <QTextStream>
#include <functional>
#include <map>
#include <memory>

namespace {
void usage(QTextStream& out)
{
    out << "automat-cmd " << AUTOMAT_VERSION << " : outils en ligne de commande\n"
        << "  config [--dossier DOSSIER]   affiche les réglages lus dans automat.ini\n"
        << "  init-journal [--dossier DOSSIER]  crée le journal d'erreurs MAINTEN.MDB\n"
        << "  ean13 CHIFFRES               code EAN-13 complété et son texte pour police code-barres\n"
        << "  lire-badge [--port P]        lit un badge sur le lecteur série\n"
        << "  init-db FICHIER [--demo] [--force]  crée une base embarquée (avec les données de démonstration)\n"
        << "  sql [--dossier DOSSIER] TEXTE       exécute un texte T-SQL sur la base du dossier\n"
        << "  unzip ARCHIVE DOSSIER [--flat] [--no-overwrite]  extrait une archive zip\n"
        << "  zip ARCHIVE FICHIER... [--comment TEXTE]         écrit une archive zip\n"
        << "  rapport MODELE --table T [--du JJ/MM/AAAA --au JJ/MM/AAAA] --titre TEXTE --pdf FICHIER [--dossier D]\n";
}
} // namespace

int main(int argc, char* argv[])
{
    // Reports draw text: that command runs as a GUI application without a screen; the
    // others need no more than the core.
    std::unique_ptr<QCoreApplication> app;
    if (argc > 1 && qstrcmp(argv[1], "rapport") == 0) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("automat-cmd"));
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    const std::map<QString, std::function<int(const QStringList&)>> commands = {
        {QStringLiteral("config"), Commands::config},
        {QStringLiteral("init-journal"), Commands::initJournal},
        {QStringLiteral("ean13"), Commands::ean13},
        {QStringLiteral("lire-badge"), Commands::lireBadge},
        {QStringLiteral("init-db"), Commands::initDb},
        {QStringLiteral("sql"), Commands::sql},
        {QStringLiteral("unzip"), Commands::unzip},
        {QStringLiteral("zip"), Commands::zip},
        {QStringLiteral("rapport"), Commands::rapport},
    };
    QStringList args = QCoreApplication::arguments().mid(1);
    QTextStream err(stderr);
    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        QTextStream out(stdout);
        usage(out);
        return args.isEmpty() ? 64 : 0;
    }
    const QString name = args.takeFirst();
    const auto it = commands.find(name);
    if (it == commands.end()) {
        err << "automat-cmd : commande inconnue « " << name << " »\n";
        usage(err);
        return 64;
    }
    return it->second(args);
}
