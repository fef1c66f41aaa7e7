#pragma once

#include <QString>

struct AppSettings;

// Sends a PDF: by SMTP when the settings name a server, else through the desktop mail
// client (xdg-email), else the file is kept and the user is told where.
class PdfMailer {
public:
    enum class Result { Sent, MailClient, Kept, Failed };

    explicit PdfMailer(const AppSettings& settings) : m_settings(settings) {}

    Result send(const QString& pdfPath, const QString& to, const QString& subject);
    // What went wrong (Failed) or where the file is (Kept).
    const QString& message() const { return m_message; }

    // The SMTP part alone (also used by tests).
    bool sendSmtp(const QString& pdfPath, const QString& to, const QString& subject);

private:
    const AppSettings& m_settings;
    QString m_message;
};
