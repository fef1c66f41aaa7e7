#include "AppSettings.h"

#include "Crypte.h"
#include "FnZidurad.h"
#include "Secrets.h"

#include <QDir>
#include <QLocale>

using FnZidurad::LireIniInteger;
using FnZidurad::LireIniString;

namespace {
const QString kDb = QStringLiteral("Base de donnée");
const QString kEmployees = QStringLiteral("Salariés");
} // namespace

QString AppSettings::BuildConnectionString(int sa, const QString& password,
                                           const QString& server, const QString& database)
{
    if (sa == 1)
        return QStringLiteral("uid=sa;pwd=") + password +
               QStringLiteral(";driver={SQL Server}; server=") + server +
               QStringLiteral(";database=") + database + QStringLiteral(";dsn=''");
    return QStringLiteral("uid=;pwd=;driver={SQL Server}; server=") + server +
           QStringLiteral(";database=") + database + QStringLiteral(";dsn=''");
}

QString AppSettings::SystemDecimalSeparator()
{
    QString name;
    for (const char* var : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        name = qEnvironmentVariable(var);
        if (!name.isEmpty())
            break;
    }
    if (name.isEmpty() || name == QLatin1String("C") || name == QLatin1String("POSIX") ||
        name.startsWith(QLatin1String("C.")))
        return QStringLiteral(",");
    const QString point = QLocale(name.section(u'.', 0, 0)).decimalPoint();
    return point.isEmpty() ? QStringLiteral(",") : point;
}

AppSettings AppSettings::load(const QString& applicationFolder, const Secrets& secrets,
                              const QString& decimalSeparator, Ui* ui)
{
    AppSettings s;
    s.ApplicationFolder = applicationFolder;
    s.DecimalSeparator = decimalSeparator;
    s.IniPath = applicationFolder + QStringLiteral("/automat.ini");
    // The file keeps the name given on Windows, whatever its case on disk.
    const QString real = FnZidurad::RealFilePath(applicationFolder, QStringLiteral("automat.ini"));
    const QString ini = real.isEmpty() ? s.IniPath : real;

    s.ImageFolder = LireIniString(ini, kDb, QStringLiteral("Chemin Image"),
                                  applicationFolder + QStringLiteral("/image"), ui);
    s.DatabaseName = LireIniString(ini, kDb, QStringLiteral("Nom"), QStringLiteral("ZUR"), ui);
    s.ServerName = LireIniString(ini, kDb, QStringLiteral("Serveur"),
                                 QStringLiteral("VOREROZIVER\\AUTOMATE"), ui);
    s.MaskCardNumbers = LireIniString(ini, QStringLiteral("App"), QStringLiteral("MasqueCB"),
                                      QStringLiteral("OUI"), ui) == QLatin1String("OUI");
    if (!LireIniString(ini, kDb, QStringLiteral("P"), QString(), ui).isEmpty())
        s.DatabasePassword = secrets.fixedPassword;
    else
        s.DatabasePassword = Crypte::Crypte(secrets.scrambledPassword, secrets.cryptKey).left(5);
    s.ConnectionString = BuildConnectionString(LireIniInteger(ini, kDb, QStringLiteral("sa"), 1, ui),
                                               s.DatabasePassword, s.ServerName, s.DatabaseName);

    const QString file = LireIniString(ini, kDb, QStringLiteral("Fichier"), QString(), ui);
    if (!file.isEmpty())
        s.DatabaseFile = QDir::cleanPath(QDir(applicationFolder).absoluteFilePath(
            QString(file).replace(u'\\', u'/')));

    const QString mail = QStringLiteral("Messagerie");
    s.MailServer = LireIniString(ini, mail, QStringLiteral("Serveur"), QString(), ui);
    s.MailPort = LireIniInteger(ini, mail, QStringLiteral("Port"), 25, ui);
    s.MailSender = LireIniString(ini, mail, QStringLiteral("Expediteur"), QString(), ui);
    s.MailAccount = secrets.mailAccount;
    s.MailPassword = secrets.mailPassword;

    s.BadgeMode = LireIniInteger(ini, kEmployees, QStringLiteral("BadgeMode"), 1, ui);
    s.BadgeReaderPort = LireIniString(ini, kEmployees, QStringLiteral("BadgeReaderPort"),
                                      QStringLiteral("0"), ui);
    s.ShoeSizeFamily = LireIniInteger(ini, kEmployees, QStringLiteral("ShoeSizeFamily"), 0, ui);
    s.HandSizeFamily = LireIniInteger(ini, kEmployees, QStringLiteral("HandSizeFamily"), 0, ui);
    s.ReservedProfile = LireIniInteger(ini, kEmployees, QStringLiteral("ReservedProfile"), 0, ui);
    return s;
}

QString AppSettings::maskedConnectionString() const
{
    QString masked = ConnectionString;
    if (!DatabasePassword.isEmpty())
        masked.replace(QStringLiteral("pwd=") + DatabasePassword + u';', QStringLiteral("pwd=****;"));
    return masked;
}
