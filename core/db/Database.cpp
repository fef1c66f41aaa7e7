#include "Database.h"

#include "AppException.h"
#include "AppSettings.h"
#include "Procedures.h"
#include "SqliteFunctions.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlIndex>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>
#include <sqlite3.h>

namespace {

// The views that the windows write through, and the key that names their rows.
const QHash<QString, QStringList> kViewKeys = {
    {QStringLiteral("grutilisateur"), {QStringLiteral("NoBadge")}},
    {QStringLiteral("stockglobal"), {QStringLiteral("Reference")}},
    {QStringLiteral("stock"), {QStringLiteral("Reference")}},
};

AppException sqliteError(sqlite3* db, int code)
{
    const int ext = db ? sqlite3_extended_errcode(db) : code;
    const QString msg = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(code));
    switch (ext & 0xff) {
    case SQLITE_CONSTRAINT:
        if (ext == SQLITE_CONSTRAINT_UNIQUE || ext == SQLITE_CONSTRAINT_PRIMARYKEY)
            return AppException(Database::Duplicate,
                                QStringLiteral("Doublon : la valeur existe déjà (%1)").arg(msg));
        return AppException(Database::RefusedWrite,
                            QStringLiteral("La base refuse l'écriture : %1").arg(msg));
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return AppException(Database::Unreachable,
                            QStringLiteral("La base de données est verrouillée : %1").arg(msg));
    case SQLITE_CANTOPEN:
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
    case SQLITE_IOERR:
    case SQLITE_PERM:
    case SQLITE_READONLY:
    case SQLITE_FULL:
        return AppException(Database::Unreachable,
                            QStringLiteral("La base de données est inaccessible : %1").arg(msg));
    default:
        // Syntax, unknown table or column, a function's own error (an invalid date).
        return AppException(Database::RefusedWrite, msg);
    }
}

AppException odbcError(const QSqlError& e)
{
    const QString text = e.text();
    const QString state = e.nativeErrorCode();
    if (e.type() == QSqlError::ConnectionError || state.startsWith(QLatin1String("08")) ||
        state.startsWith(QLatin1String("IM")))
        return AppException(Database::Unreachable, text);
    if (state.startsWith(QLatin1String("23")) || text.contains(QLatin1String("constraint"), Qt::CaseInsensitive)) {
        if (text.contains(QLatin1String("duplicate"), Qt::CaseInsensitive) ||
            text.contains(QLatin1String("UNIQUE"), Qt::CaseInsensitive) || state == QLatin1String("2627") ||
            state == QLatin1String("2601"))
            return AppException(Database::Duplicate, text);
    }
    return AppException(Database::RefusedWrite, text);
}

QVariant columnValue(sqlite3_stmt* st, int i, bool isDate)
{
    switch (sqlite3_column_type(st, i)) {
    case SQLITE_NULL: return QVariant();
    case SQLITE_INTEGER: return QVariant(qlonglong(sqlite3_column_int64(st, i)));
    case SQLITE_FLOAT: return QVariant(sqlite3_column_double(st, i));
    case SQLITE_BLOB: {
        const auto* p = static_cast<const char*>(sqlite3_column_blob(st, i));
        return QVariant(QByteArray(p, sqlite3_column_bytes(st, i)));
    }
    default: {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
        const QString s = QString::fromUtf8(p, sqlite3_column_bytes(st, i));
        if (isDate) {
            const QDateTime d = SqliteFunctions::parseDateTime(s, 0);
            if (d.isValid())
                return d;
        }
        return s;
    }
    }
}

void bind(sqlite3_stmt* st, int i, const QVariant& v)
{
    if (!v.isValid() || v.isNull()) {
        sqlite3_bind_null(st, i);
        return;
    }
    switch (v.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
        sqlite3_bind_int64(st, i, v.toLongLong());
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(st, i, v.toDouble());
        return;
    case QMetaType::QByteArray: {
        const QByteArray b = v.toByteArray();
        sqlite3_bind_blob(st, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        return;
    }
    case QMetaType::QDateTime:
    case QMetaType::QDate: {
        const QByteArray b = SqliteFunctions::storageText(v.toDateTime()).toUtf8();
        sqlite3_bind_text(st, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        return;
    }
    default: {
        const QByteArray b = v.toString().toUtf8();
        sqlite3_bind_text(st, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
    }
    }
}

} // namespace

struct Database::Prepared {
    sqlite3_stmt* st = nullptr;
    QVector<ResultColumn> columns;
};

namespace {
// Leaves a cached statement ready for its next use.
struct Reset {
    sqlite3_stmt* st;
    ~Reset()
    {
        sqlite3_reset(st);
        sqlite3_clear_bindings(st);
    }
};
} // namespace

Database::Prepared* Database::prepared(const QString& sql)
{
    if (Prepared* p = m_statements.value(sql))
        return p;
    if (m_statements.size() >= 64)
        clearStatements();
    auto p = std::make_unique<Prepared>();
    const QByteArray text = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(m_sqlite, text.constData(), int(text.size()), &p->st, nullptr);
    if (rc != SQLITE_OK)
        throw sqliteError(m_sqlite, rc);
    if (!p->st)
        throw AppException(RefusedWrite, QStringLiteral("Texte SQL vide."));
    const int n = sqlite3_column_count(p->st);
    p->columns.resize(n);
    for (int i = 0; i < n; ++i) {
        ResultColumn& c = p->columns[i];
        c.name = QString::fromUtf8(sqlite3_column_name(p->st, i));
        const char* decl = sqlite3_column_decltype(p->st, i);
        const QByteArray d = QByteArray(decl ? decl : "").toUpper();
        c.isDate = d.contains("DATE") || d.contains("TIME");
        const char* table = sqlite3_column_table_name(p->st, i);
        const char* origin = sqlite3_column_origin_name(p->st, i);
        c.table = QString::fromUtf8(table ? table : "");
        c.origin = QString::fromUtf8(origin ? origin : "");
        // A parenthesized join is a subquery to SQLite, which renames its duplicate
        // columns "Name:1": the column keeps the name the text gave it.
        const qsizetype colon = c.name.lastIndexOf(u':');
        if (colon > 0 && c.name.left(colon).compare(c.origin, Qt::CaseInsensitive) == 0) {
            bool digits = false;
            c.name.mid(colon + 1).toInt(&digits);
            if (digits)
                c.name = c.name.left(colon);
        }
    }
    m_statements.insert(sql, p.get());
    return p.release();
}

void Database::clearStatements()
{
    for (Prepared* p : std::as_const(m_statements)) {
        sqlite3_finalize(p->st);
        delete p;
    }
    m_statements.clear();
}

Database::~Database()
{
    clearStatements();
    if (m_sqlite)
        sqlite3_close_v2(m_sqlite);
    if (!m_connectionName.isEmpty()) {
        {
            QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_connectionName);
    }
}

std::unique_ptr<Database> Database::open(const AppSettings& settings)
{
    if (!settings.DatabaseFile.isEmpty())
        return openFile(settings.DatabaseFile);
    return openOdbc(settings.ConnectionString);
}

std::unique_ptr<Database> Database::openFile(const QString& path)
{
    if (!QFileInfo(path).isFile())
        throw AppException(Unreachable,
                           QStringLiteral("La base de données « %1 » n'existe pas.").arg(path));
    std::unique_ptr<Database> db(new Database);
    db->openSqlite(path, false);
    return db;
}

std::unique_ptr<Database> Database::createFile(const QString& path)
{
    if (QFileInfo::exists(path))
        throw AppException(RefusedWrite,
                           QStringLiteral("Le fichier « %1 » existe déjà.").arg(path));
    std::unique_ptr<Database> db(new Database);
    db->openSqlite(path, true);
    char* err = nullptr;
    if (sqlite3_exec(db->m_sqlite, sqliteSchema().toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const QString msg = QString::fromUtf8(err);
        sqlite3_free(err);
        throw AppException(RefusedWrite, QStringLiteral("Schéma : %1").arg(msg));
    }
    return db;
}

void Database::openSqlite(const QString& path, bool create)
{
    m_engine = Engine::Sqlite;
    m_dialect = SqlDialect(SqlDialect::Engine::Sqlite);
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_FULLMUTEX;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &m_sqlite, flags, nullptr);
    if (rc != SQLITE_OK) {
        const AppException e = sqliteError(m_sqlite, rc);
        sqlite3_close_v2(m_sqlite);
        m_sqlite = nullptr;
        throw AppException(Unreachable, e.description());
    }
    sqlite3_busy_timeout(m_sqlite, 5000);
    sqlite3_extended_result_codes(m_sqlite, 1);
    SqliteFunctions::registerAll(m_sqlite);
    try {
        // Reading the schema tells a corrupt or foreign file at once.
        executeNative(QStringLiteral("PRAGMA foreign_keys = ON"));
        queryNative(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        queryNative(QStringLiteral("PRAGMA journal_mode = WAL"));
    } catch (const AppException& e) {
        throw AppException(Unreachable, e.description());
    }
}

std::unique_ptr<Database> Database::openOdbc(const QString& connectionString)
{
    std::unique_ptr<Database> db(new Database);
    db->m_connectionName = QStringLiteral("automat-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QSqlDatabase qdb = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), db->m_connectionName);
    if (!qdb.isValid())
        throw AppException(Unreachable, QStringLiteral("Le pilote ODBC de Qt n'est pas installé."));
    qdb.setDatabaseName(connectionString);
    if (!qdb.open())
        throw AppException(Unreachable, qdb.lastError().text());
    switch (qdb.driver()->dbmsType()) {
    case QSqlDriver::MSSqlServer:
        db->m_engine = Engine::SqlServer;
        db->m_dialect = SqlDialect(SqlDialect::Engine::SqlServer);
        break;
    case QSqlDriver::PostgreSQL:
        db->m_engine = Engine::PostgreSql;
        db->m_dialect = SqlDialect(SqlDialect::Engine::PostgreSql);
        break;
    default: {
        // A driver Qt does not name: an SQLite file behind ODBC answers this.
        QSqlQuery probe(qdb);
        if (probe.exec(QStringLiteral("SELECT sqlite_version()"))) {
            db->m_engine = Engine::Odbc;
            db->m_dialect = SqlDialect(SqlDialect::Engine::Sqlite);
            // The references are the database's own refusals: SQLite checks them only when asked.
            probe.exec(QStringLiteral("PRAGMA foreign_keys = ON"));
        } else {
            db->m_engine = Engine::SqlServer;
            db->m_dialect = SqlDialect(SqlDialect::Engine::SqlServer);
        }
    }
    }
    return db;
}

ResultTable Database::query(const QString& tsql)
{
    SqlDialect::Exec exec;
    if (SqlDialect::parseExec(tsql, &exec) && m_dialect.engine() != SqlDialect::Engine::SqlServer)
        return runProcedure(exec);
    return queryNative(rewrite(tsql));
}

qint64 Database::execute(const QString& tsql)
{
    SqlDialect::Exec exec;
    if (SqlDialect::parseExec(tsql, &exec) && m_dialect.engine() != SqlDialect::Engine::SqlServer) {
        runProcedure(exec);
        return -1;
    }
    return executeNative(rewrite(tsql));
}

ResultTable Database::runProcedure(const SqlDialect::Exec& exec)
{
    return Procedures::run(*this, exec.procedure, exec.arguments);
}

ResultTable Database::queryNative(const QString& sql, const QVariantList& params)
{
    ResultTable result;
    if (m_sqlite) {
        Prepared* p = prepared(sql);
        Reset reset{p->st};
        for (int i = 0; i < params.size(); ++i)
            bind(p->st, i + 1, params[i]);
        result.columns = p->columns;
        const int n = int(result.columns.size());
        int rc;
        while ((rc = sqlite3_step(p->st)) == SQLITE_ROW) {
            QVector<QVariant> row(n);
            for (int i = 0; i < n; ++i)
                row[i] = columnValue(p->st, i, result.columns[i].isDate);
            result.rows.push_back(std::move(row));
        }
        if (rc != SQLITE_DONE)
            throw sqliteError(m_sqlite, rc);
        return result;
    }
    QSqlQuery q = odbcExec(sql, params);
    const QSqlRecord rec = q.record();
    result.columns.resize(rec.count());
    for (int i = 0; i < rec.count(); ++i) {
        result.columns[i].name = rec.fieldName(i);
        const int type = rec.field(i).metaType().id();
        result.columns[i].isDate = type == QMetaType::QDateTime || type == QMetaType::QDate;
    }
    while (q.next()) {
        QVector<QVariant> row(rec.count());
        for (int i = 0; i < rec.count(); ++i) {
            const QVariant v = q.value(i);
            row[i] = v.isNull() ? QVariant() : v;
        }
        result.rows.push_back(std::move(row));
    }
    return result;
}

qint64 Database::executeNative(const QString& sql, const QVariantList& params)
{
    if (m_sqlite) {
        if (params.isEmpty()) {
            // Several statements at once (scripts) run here.
            char* err = nullptr;
            const int before = sqlite3_total_changes(m_sqlite);
            if (sqlite3_exec(m_sqlite, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
                sqlite3_free(err);
                throw sqliteError(m_sqlite, sqlite3_errcode(m_sqlite));
            }
            return sqlite3_total_changes(m_sqlite) - before;
        }
        Prepared* p = prepared(sql);
        Reset reset{p->st};
        for (int i = 0; i < params.size(); ++i)
            bind(p->st, i + 1, params[i]);
        int rc;
        while ((rc = sqlite3_step(p->st)) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE)
            throw sqliteError(m_sqlite, rc);
        return sqlite3_changes(m_sqlite);
    }
    return odbcExec(sql, params).numRowsAffected();
}

QSqlQuery Database::odbcExec(const QString& sql, const QVariantList& params)
{
    QSqlQuery q(QSqlDatabase::database(m_connectionName, false));
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        throw odbcError(q.lastError());
    for (const QVariant& p : params)
        q.addBindValue(p);
    if (!q.exec())
        throw odbcError(q.lastError());
    return q;
}

QVariant Database::lastInsertId()
{
    if (m_sqlite)
        return QVariant(qlonglong(sqlite3_last_insert_rowid(m_sqlite)));
    QString sql;
    switch (m_engine) {
    case Engine::SqlServer: sql = QStringLiteral("SELECT @@IDENTITY"); break;
    case Engine::PostgreSql: sql = QStringLiteral("SELECT lastval()"); break;
    default: sql = QStringLiteral("SELECT last_insert_rowid()"); break;
    }
    const ResultTable r = queryNative(sql);
    return r.rows.isEmpty() ? QVariant() : r.rows.first().value(0);
}

void Database::begin()
{
    if (m_sqlite) {
        executeNative(QStringLiteral("BEGIN IMMEDIATE"));
    } else if (!QSqlDatabase::database(m_connectionName, false).transaction()) {
        throw odbcError(QSqlDatabase::database(m_connectionName, false).lastError());
    }
    m_transaction = true;
}

void Database::commit()
{
    if (m_sqlite)
        executeNative(QStringLiteral("COMMIT"));
    else if (!QSqlDatabase::database(m_connectionName, false).commit())
        throw odbcError(QSqlDatabase::database(m_connectionName, false).lastError());
    m_transaction = false;
}

void Database::rollback()
{
    m_transaction = false;
    if (m_sqlite)
        executeNative(QStringLiteral("ROLLBACK"));
    else
        QSqlDatabase::database(m_connectionName, false).rollback();
}

ResultTable Database::tableInfo(const QString& table)
{
    return queryNative(QStringLiteral("PRAGMA table_info(%1)").arg(Sql::Text(table)));
}

QStringList Database::primaryKey(const QString& table)
{
    const QString lower = table.toLower();
    if (m_keys.contains(lower))
        return m_keys.value(lower);
    QStringList key = kViewKeys.value(lower);
    if (key.isEmpty()) {
        if (m_sqlite || m_dialect.engine() == SqlDialect::Engine::Sqlite) {
            const ResultTable info = tableInfo(table);
            QMap<int, QString> pk;
            for (const auto& row : info.rows)
                if (row.value(5).toInt() > 0)
                    pk.insert(row.value(5).toInt(), row.value(1).toString());
            key = pk.values();
        } else {
            const QSqlIndex index = QSqlDatabase::database(m_connectionName, false).primaryIndex(table);
            for (int i = 0; i < index.count(); ++i)
                key << index.fieldName(i);
        }
    }
    m_keys.insert(lower, key);
    return key;
}

QStringList Database::columnsOf(const QString& table)
{
    QStringList cols;
    if (m_sqlite || m_dialect.engine() == SqlDialect::Engine::Sqlite) {
        for (const auto& row : tableInfo(table).rows)
            cols << row.value(1).toString();
    } else {
        const QSqlRecord rec = QSqlDatabase::database(m_connectionName, false).record(table);
        for (int i = 0; i < rec.count(); ++i)
            cols << rec.fieldName(i);
    }
    return cols;
}

bool Database::isView(const QString& table)
{
    if (m_sqlite || m_dialect.engine() == SqlDialect::Engine::Sqlite) {
        const ResultTable r = queryNative(
            QStringLiteral("SELECT type FROM sqlite_master WHERE name = ? COLLATE NOCASE"), {table});
        return !r.rows.isEmpty() && r.rows.first().value(0).toString() == QLatin1String("view");
    }
    return QSqlDatabase::database(m_connectionName, false).tables(QSql::Views).contains(table, Qt::CaseInsensitive);
}
