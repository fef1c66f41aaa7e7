#include "PdfMailer.h"

#include "AppSettings.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <curl/curl.h>

namespace {
struct CurlGlobal {
    CurlGlobal() { curl_global_init(CURL_GLOBAL_DEFAULT); }
    ~CurlGlobal() { curl_global_cleanup(); }
};
} // namespace

bool PdfMailer::sendSmtp(const QString& pdfPath, const QString& to, const QString& subject)
{
    static CurlGlobal global;
    CURL* curl = curl_easy_init();
    if (!curl) {
        m_message = QStringLiteral("La messagerie ne peut pas être initialisée.");
        return false;
    }
    const QByteArray url = QStringLiteral("smtp://%1:%2").arg(m_settings.MailServer).arg(m_settings.MailPort).toUtf8();
    const QString sender = m_settings.MailSender.isEmpty() ? QStringLiteral("automat@localhost") : m_settings.MailSender;
    const QByteArray from = (u'<' + sender + u'>').toUtf8();
    const QByteArray rcptAddress = (u'<' + to.trimmed() + u'>').toUtf8();
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, from.constData());
    curl_slist* rcpt = curl_slist_append(nullptr, rcptAddress.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, rcpt);
    // TLS when the server offers it.
    curl_easy_setopt(curl, CURLOPT_USE_SSL, long(CURLUSESSL_TRY));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 20L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 120L);
    const QByteArray user = m_settings.MailAccount.toUtf8();
    const QByteArray password = m_settings.MailPassword.toUtf8();
    if (!user.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
    }
    // Subject in UTF-8 (RFC 2047).
    const QByteArray subjectHeader = "Subject: =?UTF-8?B?" + subject.toUtf8().toBase64() + "?=";
    const QByteArray toHeader = "To: " + to.trimmed().toUtf8();
    const QByteArray fromHeader = "From: " + sender.toUtf8();
    curl_slist* headers = nullptr;
    headers = curl_slist_append(headers, subjectHeader.constData());
    headers = curl_slist_append(headers, toHeader.constData());
    headers = curl_slist_append(headers, fromHeader.constData());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);

    curl_mime* mime = curl_mime_init(curl);
    curl_mimepart* body = curl_mime_addpart(mime);
    const QByteArray text = QStringLiteral("Veuillez trouver le rapport en pièce jointe.\r\n").toUtf8();
    curl_mime_data(body, text.constData(), CURL_ZERO_TERMINATED);
    curl_mime_type(body, "text/plain; charset=UTF-8");
    curl_mimepart* attachment = curl_mime_addpart(mime);
    const QByteArray file = pdfPath.toLocal8Bit();
    const QByteArray name = QFileInfo(pdfPath).fileName().toUtf8();
    curl_mime_filedata(attachment, file.constData());
    curl_mime_filename(attachment, name.constData());
    curl_mime_type(attachment, "application/pdf");
    curl_mime_encoder(attachment, "base64");
    curl_easy_setopt(curl, CURLOPT_MIMEPOST, mime);

    char errorBuffer[CURL_ERROR_SIZE] = {0};
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
    const CURLcode rc = curl_easy_perform(curl);
    if (rc != CURLE_OK)
        m_message = QStringLiteral("Le message n'a pas pu être envoyé par %1 : %2")
                        .arg(m_settings.MailServer,
                             QString::fromUtf8(errorBuffer[0] ? errorBuffer : curl_easy_strerror(rc)));
    curl_mime_free(mime);
    curl_slist_free_all(headers);
    curl_slist_free_all(rcpt);
    curl_easy_cleanup(curl);
    return rc == CURLE_OK;
}

PdfMailer::Result PdfMailer::send(const QString& pdfPath, const QString& to, const QString& subject)
{
    m_message.clear();
    if (!m_settings.MailServer.isEmpty())
        return sendSmtp(pdfPath, to, subject) ? Result::Sent : Result::Failed;
    const QString xdg = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
    if (!xdg.isEmpty() &&
        QProcess::startDetached(xdg, {QStringLiteral("--subject"), subject, QStringLiteral("--attach"), pdfPath, to}))
        return Result::MailClient;
    m_message = QStringLiteral("Aucune messagerie n'est configurée : le rapport est enregistré dans %1").arg(pdfPath);
    return Result::Kept;
}
