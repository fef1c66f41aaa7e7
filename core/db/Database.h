#pragma once

#include "ResultTable.h"
#include "SqlDialect.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <memory>

struct AppSettings;
struct sqlite3;

// One connection to the shared database: the embedded SQLite file named by "Fichier",
// or the site's server through unixODBC with ConnectionString. Each window opens its
// own. Every failure is thrown as AppException with the numbers the windows test:
// RefusedWrite, Duplicate, NoCurrentRecord, Unreachable.
class Database {
public:
    static constexpr long RefusedWrite = -2147217900; // 0x80040E14
    static constexpr long Duplicate = 3022;
    static constexpr long NoCurrentRecord = 3021;
    static constexpr long Unreachable = -2147467259; // 0x80004005

    enum class Engine { Sqlite, SqlServer, PostgreSql, Odbc };

    // A write the database refused for its own rules, a duplicate included: the windows
    // that turn "the database refuses" into a message test this.
    static bool isRefusal(long number) { return number == RefusedWrite || number == Duplicate; }

    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // The embedded file when the settings name one, else ConnectionString.
    static std::unique_ptr<Database> open(const AppSettings& settings);
    // An existing SQLite file.
    static std::unique_ptr<Database> openFile(const QString& path);
    // A new SQLite file with the schema; refuses an existing file.
    static std::unique_ptr<Database> createFile(const QString& path);
    static std::unique_ptr<Database> openOdbc(const QString& connectionString);

    Engine engine() const { return m_engine; }
    const SqlDialect& dialect() const { return m_dialect; }
    QString rewrite(const QString& tsql) const { return m_dialect.rewrite(tsql); }

    // A T-SQL text as the windows write it (EXEC included), rewritten for the engine.
    ResultTable query(const QString& tsql);
    // Rows changed (or -1 when the engine does not tell).
    qint64 execute(const QString& tsql);

    // Engine SQL with "?" parameters, not rewritten.
    ResultTable queryNative(const QString& sql, const QVariantList& params = {});
    qint64 executeNative(const QString& sql, const QVariantList& params = {});
    // The counter given to the last row added on this connection.
    QVariant lastInsertId();

    void begin();
    void commit();
    void rollback();
    bool inTransaction() const { return m_transaction; }

    // Rolls back unless committed.
    class Transaction {
    public:
        explicit Transaction(Database& db) : m_db(db) { m_db.begin(); }
        ~Transaction()
        {
            if (!m_done) {
                try {
                    m_db.rollback();
                } catch (...) {
                }
            }
        }
        void commit()
        {
            m_db.commit();
            m_done = true;
        }

    private:
        Database& m_db;
        bool m_done = false;
    };

    // Key columns of a table (or the known key of a view); empty when none.
    QStringList primaryKey(const QString& table);
    QStringList columnsOf(const QString& table);
    bool isView(const QString& table);

    // The schema of the embedded engine, as shipped.
    static QString sqliteSchema();
    static QString sqlServerSchema();

private:
    Database() = default;
    void openSqlite(const QString& path, bool create);
    ResultTable runProcedure(const SqlDialect::Exec& exec);
    QSqlQuery odbcExec(const QString& sql, const QVariantList& params);
    // An SQLite table's columns: cid, name, type, notnull, default, pk.
    ResultTable tableInfo(const QString& table);

    Engine m_engine = Engine::Sqlite;
    SqlDialect m_dialect{SqlDialect::Engine::Sqlite};
    // Prepared statements, with their columns, kept for the texts run again and again
    // (a result set's writes).
    struct Prepared;
    Prepared* prepared(const QString& sql);
    void clearStatements();

    sqlite3* m_sqlite = nullptr;
    QHash<QString, Prepared*> m_statements;
    QString m_connectionName;
    bool m_transaction = false;
    QHash<QString, QStringList> m_keys;
};
