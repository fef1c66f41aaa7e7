#include "QtUi.h"
#include "Startup.h"
#include "Version.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>

namespace {
bool hasDisplay()
{
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}
} // namespace

int main(int argc, char* argv[])
{
    if (!hasDisplay()) {
        std::fprintf(stderr, "automat : aucun écran disponible (ni DISPLAY ni WAYLAND_DISPLAY) ; "
                             "lancez le programme dans une session graphique.\n");
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("automat"));
    QApplication::setApplicationVersion(QString::fromLatin1(AUTOMAT_VERSION));
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));

    // French standard buttons ("Oui", "Non", "Annuler").
    QTranslator qtFrench;
    if (qtFrench.load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtFrench);

    QtUi ui;
    Startup startup(ui);
    if (startup.begin() == Startup::Outcome::AnotherCopyRuns)
        return 0;

    // The main window is not part of this build yet: stop after the configuration.
    startup.finish();
    std::fprintf(stderr,
                 "automat : configuration lue (%s) ; la fenêtre principale n'est pas encore "
                 "disponible dans cette version, arrêt.\n",
                 qUtf8Printable(startup.settings().IniPath));
    return 0;
}
