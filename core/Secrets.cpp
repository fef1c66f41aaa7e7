#include "Secrets.h"

#include "FnZidurad.h"
#include "IniReader.h"

#include <QFileInfo>

Secrets Secrets::placeholders()
{
    Secrets s;
    // Demo values only: a site keeps its own in the protected file.
    s.fixedPassword = QStringLiteral("zz");
    s.cryptKey = QStringLiteral("demokeyz");
    // Unscrambles to "demo1" followed by ten filler characters.
    s.scrambledPassword = QString::fromUtf8("\xc3\x88\xc3\x8a\xc3\x9a\xc3\x9e\xc5\x93\xc3\x86\xc3\x9b\xc3\x9d\xc3\x88\xc3\x8a\xc3\x93\xc3\x96\xc3\x93\xc3\x8e\xc3\xa3");
    return s;
}

Secrets Secrets::load(const QString& applicationFolder)
{
    Secrets s = placeholders();
    const QString path = FnZidurad::RealFilePath(applicationFolder, fileName());
    if (path.isEmpty())
        return s;
    const QFileInfo info(path);
    const auto open = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                      QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    if (info.permissions() & open) {
        s.warning = QStringLiteral("Le fichier %1 est lisible par d'autres utilisateurs que son "
                                   "propriétaire : il est ignoré (chmod 600 %1).")
                        .arg(path);
        return s;
    }
    try {
        const auto value = [&](const char* key, const QString& fallback) {
            return IniReader::readString(path, QStringLiteral("Secrets"), QString::fromLatin1(key),
                                         fallback, 32768);
        };
        s.fixedPassword = value("MotDePasseFixe", s.fixedPassword);
        s.scrambledPassword = value("MotDePasseBrouille", s.scrambledPassword);
        s.cryptKey = value("CleCrypte", s.cryptKey);
        s.mailAccount = IniReader::readString(path, QStringLiteral("Messagerie"), QStringLiteral("Compte"), QString(), 32768);
        s.mailPassword = IniReader::readString(path, QStringLiteral("Messagerie"), QStringLiteral("MotDePasse"), QString(), 32768);
    } catch (...) {
        s = placeholders();
        s.warning = QStringLiteral("Le fichier %1 ne peut pas être lu.").arg(path);
    }
    return s;
}
