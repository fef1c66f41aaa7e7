#pragma once

#include <QString>

// The passwords and keys that must not live in the repository: read from the protected
// file "automat-secrets.ini" beside automat.ini (readable by its owner only). Without
// that file, harmless placeholders serve the demo. No value here is ever logged or shown.
struct Secrets {
    QString fixedPassword;     // the two-letter SQL password
    QString scrambledPassword; // fifteen characters, unscrambled with cryptKey
    QString cryptKey;          // eight lowercase letters
    QString mailAccount;       // SMTP account and password (section "Messagerie")
    QString mailPassword;
    QString warning;           // why the file was not used, for the settings check

    static Secrets placeholders();
    // Reads the file of the folder; a file that others can read is refused (placeholders
    // are kept and warning says so).
    static Secrets load(const QString& applicationFolder);

    static QString fileName() { return QStringLiteral("automat-secrets.ini"); }
};
