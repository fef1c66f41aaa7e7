#include "AppSettings.h"
#include "Commands.h"
#include "ErrorReport.h"
#include "FnZidurad.h"
#include "ScriptedUi.h"
#include "Secrets.h"

#include <QFileInfo>
#include <QTextStream>

namespace Commands {

// Prints what start-up derives from automat.ini, passwords masked; non-zero when the
// application folder cannot serve the program.
int config(const QStringList& args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--dossier") && i + 1 < args.size()) {
            qputenv("AUTOMAT_HOME", args[++i].toLocal8Bit());
        } else {
            err << "usage : automat-cmd config [--dossier DOSSIER]\n";
            return 64;
        }
    }
    const QString folder = FnZidurad::ApplicationFolder();
    const QFileInfo info(folder);
    if (!info.exists()) {
        err << "Le dossier de l'application « " << folder << " » n'existe pas.\n";
        return 1;
    }
    if (!info.isDir() || !info.isReadable() || !info.isExecutable()) {
        err << "Le dossier de l'application « " << folder
            << " » n'est pas un dossier lisible.\n";
        return 1;
    }

    ScriptedUi ui;
    ui.setEcho(stderr);
    const Secrets secrets = Secrets::load(folder);
    const AppSettings s = AppSettings::load(folder, secrets, AppSettings::SystemDecimalSeparator(), &ui);
    const bool iniFound = FnZidurad::FileExists(folder, QStringLiteral("automat.ini"));

    const auto line = [&](const char* name, const QString& value) {
        out << name << " = " << value << '\n';
    };
    line("ApplicationFolder", s.ApplicationFolder);
    line("IniPath", s.IniPath + (iniFound ? QString() : QStringLiteral(" (absent : valeurs par défaut)")));
    line("DecimalSeparator", s.DecimalSeparator);
    line("ImageFolder", s.ImageFolder);
    line("DatabaseName", s.DatabaseName);
    line("ServerName", s.ServerName);
    line("DatabasePassword", s.DatabasePassword.isEmpty() ? QString() : QStringLiteral("****"));
    line("ConnectionString", s.maskedConnectionString());
    line("DatabaseFile", s.DatabaseFile.isEmpty() ? QStringLiteral("(aucun : serveur SQL)") : s.DatabaseFile);
    line("MaskCardNumbers", s.MaskCardNumbers ? QStringLiteral("oui") : QStringLiteral("non"));
    line("BadgeMode", QString::number(s.BadgeMode));
    line("BadgeReaderPort", s.BadgeReaderPort);
    line("ShoeSizeFamily", QString::number(s.ShoeSizeFamily));
    line("HandSizeFamily", QString::number(s.HandSizeFamily));
    line("ReservedProfile", QString::number(s.ReservedProfile));
    const bool secretsFile = FnZidurad::FileExists(folder, Secrets::fileName());
    line("Secrets", secretsFile && secrets.warning.isEmpty()
                        ? Secrets::fileName()
                        : QStringLiteral("valeurs de démonstration"));
    out.flush();

    int status = 0;
    if (!secrets.warning.isEmpty()) {
        err << secrets.warning << '\n';
        status = 1;
    }
    if (!FnZidurad::FolderIsWritable(folder)) {
        err << "Le dossier de l'application « " << folder
            << " » n'est pas accessible en écriture : le journal d'erreurs et les rapports "
               "envoyés ne peuvent pas y être écrits.\n";
        status = 1;
    }
    if (!s.DatabaseFile.isEmpty() && !QFileInfo::exists(s.DatabaseFile)) {
        err << "La base de données « " << s.DatabaseFile << " » n'existe pas.\n";
        status = 1;
    }
    return status;
}

// Creates the error log MAINTEN.MDB of the folder (errors are logged only when it exists).
int initJournal(const QStringList& args)
{
    QTextStream err(stderr);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--dossier") && i + 1 < args.size()) {
            qputenv("AUTOMAT_HOME", args[++i].toLocal8Bit());
        } else {
            err << "usage : automat-cmd init-journal [--dossier DOSSIER]\n";
            return 64;
        }
    }
    const QString folder = FnZidurad::ApplicationFolder();
    if (!ErrorReport::CreateErrorLog(folder)) {
        err << "Le journal d'erreurs ne peut pas être créé dans « " << folder << " ».\n";
        return 1;
    }
    QTextStream(stdout) << "Journal d'erreurs : " << folder << "/MAINTEN.MDB\n";
    return 0;
}

} // namespace Commands
