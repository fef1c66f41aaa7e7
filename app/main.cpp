#include "FrmPrincipal.h"
#include "QtUi.h"
#include "Startup.h"
#include "Version.h"
#include "Windows.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTimer>
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

    // 11. The main window loads hidden; without a database the program ends.
    FrmPrincipal window(ui, startup.settings());
    if (window.load() == FrmPrincipal::LoadResult::NoDatabase)
        return 1;
    const Windows windows(window, ui, startup.settings());
    // 12.
    if (!startup.askPassword(window.motPasse()))
        return 1;
    // 13.
    ui.setParent(&window);
    QObject::connect(&window, &FrmPrincipal::quitRequested, &app, &QApplication::quit);
    // Without a window manager "maximised" means nothing: take the screen's room first.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window.setGeometry(screen->availableGeometry());
    window.showMaximized();
    startup.finish();
    // For the documentation: AUTOMAT_SCREENSHOT=file.png saves the window and ends.
    const QString screenshot = qEnvironmentVariable("AUTOMAT_SCREENSHOT");
    if (!screenshot.isEmpty())
        QTimer::singleShot(1500, &window, [&window, screenshot] {
            window.grab().save(screenshot);
            window.close();
        });
    return app.exec();
}
