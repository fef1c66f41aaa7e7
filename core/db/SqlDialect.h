#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// The program writes T-SQL, as the site's SQL Server takes it. SqlDialect rewrites each
// text for the engine that runs it; SQL Server gets it unchanged.
class SqlDialect {
public:
    enum class Engine { SqlServer, Sqlite, PostgreSql };

    explicit SqlDialect(Engine engine = Engine::SqlServer) : m_engine(engine) {}
    Engine engine() const { return m_engine; }

    QString rewrite(const QString& tsql) const;

    // "EXEC name arg, arg": the procedure and its arguments (literals unquoted).
    struct Exec {
        QString procedure;
        QStringList arguments;
    };
    // True when the text is an EXEC (or EXECUTE) call; fills exec.
    static bool parseExec(const QString& tsql, Exec* exec);

    // Whole statement classification, for callers that must know if rows come back.
    static bool returnsRows(const QString& tsql);

private:
    Engine m_engine;
};

// Every value that enters SQL text or a find criterion goes through these.
namespace Sql {
// 'text' with apostrophes doubled.
QString Text(const QString& value);
// N'text' with apostrophes doubled.
QString NText(const QString& value);
// A number in decimal with "." as its point.
QString Number(double value);
QString Number(qint64 value);
// 'dd/mm/yyyy hh:mm:ss' inside CONVERT(DATETIME, ..., 103).
QString DateTime103(const QDateTime& value);
// A find-criterion pattern for "Col like '<pattern>'": apostrophes doubled, the
// wildcards "*" and "%" of the typed text made literal.
QString LikeText(const QString& value);
} // namespace Sql
