#include "ErrorReport.h"

#include "AppException.h"
#include "FnZidurad.h"
#include "Ui.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUuid>

namespace {
QString g_logFolder;

const QString kLogName = QStringLiteral("MAINTEN.MDB");

// Runs fn on a private connection to the SQLite file, then removes the connection.
template <typename Fn>
bool withLog(const QString& path, Fn fn)
{
    const QString name = QStringLiteral("errorlog-") + QUuid::createUuid().toString();
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
        if (db.open())
            ok = fn(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}
} // namespace

namespace ErrorReport {

QString ErrorText(long number, const QString& description)
{
    return QStringLiteral("Erreur N°:\r%1\r%2\rAppuyez sur (A) pour continuer")
        .arg(number)
        .arg(description);
}

QString ErrorText(const AppException& error)
{
    return ErrorText(error.number(), error.description());
}

void ReportError(Ui& ui, const QString& context, long number, const QString& description)
{
    const QString text = QStringLiteral("N°: %1 %2").arg(number).arg(description);
    LogError(context, text);
    ui.message(text, QString(), Ui::Icon::None, Ui::Buttons::Ok);
}

void ReportError(Ui& ui, const QString& context, const AppException& error)
{
    ReportError(ui, context, error.number(), error.description());
}

void ReportError(Ui& ui, const QString& context, const std::exception& error)
{
    if (auto* app = dynamic_cast<const AppException*>(&error)) {
        ReportError(ui, context, *app);
        return;
    }
    // Anything else is an internal failure: VB's "Application-defined or object-defined error".
    ReportError(ui, context, 440, QString::fromLocal8Bit(error.what()));
}

void LogError(const QString& context, const QString& text)
{
    try {
        if (g_logFolder.isEmpty())
            g_logFolder = FnZidurad::AppFolder();
        const QString path = FnZidurad::RealFilePath(g_logFolder, kLogName);
        if (path.isEmpty())
            return;
        withLog(path, [&](QSqlDatabase& db) {
            QSqlQuery q(db);
            q.prepare(QStringLiteral(
                "INSERT INTO Erreurs (DateErreur, Contexte, Erreur) VALUES (?, ?, ?)"));
            q.addBindValue(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
            q.addBindValue(context);
            q.addBindValue(text);
            return q.exec();
        });
    } catch (...) {
        // The log never fails its caller.
    }
}

QString errorLogFolder()
{
    return g_logFolder;
}

void resetErrorLogFolder()
{
    g_logFolder.clear();
}

bool CreateErrorLog(const QString& folder)
{
    return withLog(FnZidurad::WithBackslash(folder) + kLogName, [](QSqlDatabase& db) {
        QSqlQuery q(db);
        return q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS Erreurs ("
                                     "NoErreur INTEGER PRIMARY KEY AUTOINCREMENT, "
                                     "DateErreur DATETIME, Contexte TEXT, Erreur TEXT)"));
    });
}

} // namespace ErrorReport
