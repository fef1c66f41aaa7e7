#pragma once

#include <QString>

class Ui;
struct Secrets;

// The settings record filled once at start-up and read by every window.
struct AppSettings {
    QString ApplicationFolder; // no trailing separator, case kept
    QString IniPath;
    QString DecimalSeparator;
    QString ImageFolder;
    QString DatabaseName;
    QString ServerName;
    QString DatabasePassword;
    QString ConnectionString;
    bool MaskCardNumbers = true;
    // Set by the main window when it loads.
    QString ReportFolder;
    QString CompanyEmail;
    // Employee module, section "Salariés".
    int BadgeMode = 1;
    QString BadgeReaderPort = QStringLiteral("0");
    int ShoeSizeFamily = 0;
    int HandSizeFamily = 0;
    int ReservedProfile = 0;
    // Section "Messagerie": the SMTP server that sends mailed reports (none: the
    // desktop mail client). Account and password come from the protected file.
    QString MailServer;
    int MailPort = 25;
    QString MailSender;
    QString MailAccount;
    QString MailPassword;
    // Section "Base de donnée", key "Fichier": the embedded database file, absolute;
    // empty when the program uses the server of ConnectionString.
    QString DatabaseFile;

    // Start-up steps 3 to 10, from the automat.ini of the folder.
    static AppSettings load(const QString& applicationFolder, const Secrets& secrets,
                            const QString& decimalSeparator, Ui* ui = nullptr);
    static QString BuildConnectionString(int sa, const QString& password,
                                         const QString& server, const QString& database);
    // The decimal point of the system locale; "," when no locale is set (C/POSIX).
    static QString SystemDecimalSeparator();

    // ConnectionString with the password replaced by "****", for printing.
    QString maskedConnectionString() const;
};
