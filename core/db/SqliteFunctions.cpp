#include "SqliteFunctions.h"

#include <QRegularExpression>
#include <sqlite3.h>

namespace {

QString argText(sqlite3_value* v)
{
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return p ? QString::fromUtf8(p, sqlite3_value_bytes(v)) : QString();
}

void resultText(sqlite3_context* ctx, const QString& s)
{
    const QByteArray b = s.toUtf8();
    sqlite3_result_text(ctx, b.constData(), int(b.size()), SQLITE_TRANSIENT);
}

void datetimeFn(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const int style = argc > 1 ? sqlite3_value_int(argv[1]) : 0;
    const QString text = argText(argv[0]);
    const QDateTime d = SqliteFunctions::parseDateTime(text, style);
    if (!d.isValid()) {
        const QByteArray msg =
            QStringLiteral("La conversion d'un type de données varchar en type de données datetime "
                           "a créé une valeur hors limites ('%1').")
                .arg(text)
                .toUtf8();
        sqlite3_result_error(ctx, msg.constData(), int(msg.size()));
        return;
    }
    resultText(ctx, SqliteFunctions::storageText(d));
}

QDate dateOf(sqlite3_value* v)
{
    const QDateTime d = SqliteFunctions::parseDateTime(argText(v), 0);
    return d.date();
}

void monthnameFn(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const QDate d = dateOf(argv[0]);
    if (!d.isValid()) {
        sqlite3_result_null(ctx);
        return;
    }
    resultText(ctx, SqliteFunctions::frenchMonth(d.month()));
}

void daynameFn(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    static const char* days[] = {"lundi", "mardi", "mercredi", "jeudi", "vendredi", "samedi", "dimanche"};
    const QDate d = dateOf(argv[0]);
    if (!d.isValid()) {
        sqlite3_result_null(ctx);
        return;
    }
    resultText(ctx, QString::fromLatin1(days[d.dayOfWeek() - 1]));
}

QString textOf(sqlite3_value* v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: return QString::number(sqlite3_value_int64(v));
    case SQLITE_FLOAT: return QString::number(sqlite3_value_double(v), 'g', 15);
    default: return argText(v);
    }
}

// CAST(x AS char(n)): cut or padded with blanks to n characters.
void charFn(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const int n = qMax(1, sqlite3_value_int(argv[1]));
    resultText(ctx, textOf(argv[0]).left(n).leftJustified(n, u' '));
}

// CONVERT(varchar(n), x, style): dates in style 103 are written dd/mm/yyyy.
void textFn(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const int n = qMax(1, sqlite3_value_int(argv[1]));
    const int style = sqlite3_value_int(argv[2]);
    QString s = textOf(argv[0]);
    if (style == 103) {
        const QDateTime d = SqliteFunctions::parseDateTime(s, 0);
        if (d.isValid())
            s = d.toString(QStringLiteral("dd/MM/yyyy"));
    }
    resultText(ctx, s.left(n));
}

void getdateFn(sqlite3_context* ctx, int, sqlite3_value**)
{
    resultText(ctx, SqliteFunctions::storageText(QDateTime::currentDateTime()));
}

} // namespace

namespace SqliteFunctions {

QString frenchMonth(int month)
{
    static const char* months[] = {"janvier", "février", "mars", "avril", "mai", "juin",
                                   "juillet", "août", "septembre", "octobre", "novembre", "décembre"};
    return month >= 1 && month <= 12 ? QString::fromUtf8(months[month - 1]) : QString();
}

QString storageText(const QDateTime& value)
{
    return value.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QDateTime parseDateTime(const QString& input, int style)
{
    // The storage form first, without a regular expression: result sets read it for
    // every date of every row.
    if (style != 103 && input.size() == 19 && input[4] == u'-' && input[7] == u'-' && input[10] == u' ' &&
        input[13] == u':' && input[16] == u':') {
        const auto num = [&](int at, int len) {
            int v = 0;
            for (int i = at; i < at + len; ++i) {
                const char16_t c = input[i].unicode();
                if (c < u'0' || c > u'9')
                    return -1;
                v = v * 10 + (c - u'0');
            }
            return v;
        };
        const int y = num(0, 4), mo = num(5, 2), d = num(8, 2), h = num(11, 2), mi = num(14, 2), sec = num(17, 2);
        const QDate date(y, mo, d);
        if (y >= 1753 && date.isValid() && h >= 0 && h < 24 && mi >= 0 && mi < 60 && sec >= 0 && sec < 60)
            return QDateTime(date, QTime(h, mi, sec));
        return QDateTime();
    }
    const QString text = input.trimmed();
    static const QRegularExpression iso(QStringLiteral(
        R"(^(\d{4})-(\d{1,2})-(\d{1,2})(?:[ T](\d{1,2}):(\d{2})(?::(\d{2})(?:\.\d+)?)?)?$)"));
    static const QRegularExpression dmy(QStringLiteral(
        R"(^(\d{1,2})/(\d{1,2})/(\d{4})(?: +(\d{1,2}):(\d{2})(?::(\d{2})(?:\.\d+)?)?)?$)"));
    QRegularExpressionMatch m;
    int y = 0, mo = 0, d = 0;
    if (style != 103 && (m = iso.match(text)).hasMatch()) {
        y = m.captured(1).toInt();
        mo = m.captured(2).toInt();
        d = m.captured(3).toInt();
    } else if ((m = dmy.match(text)).hasMatch()) {
        d = m.captured(1).toInt();
        mo = m.captured(2).toInt();
        y = m.captured(3).toInt();
    } else {
        return QDateTime();
    }
    const QDate date(y, mo, d);
    const int h = m.captured(4).toInt();
    const int mi = m.captured(5).toInt();
    const int s = m.captured(6).toInt();
    // SQL Server's datetime starts in 1753.
    if (!date.isValid() || y < 1753 || h > 23 || mi > 59 || s > 59)
        return QDateTime();
    return QDateTime(date, QTime(h, mi, s));
}

bool registerAll(sqlite3* db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    bool ok = true;
    ok &= sqlite3_create_function_v2(db, "tsql_datetime", 1, flags, nullptr, datetimeFn, nullptr, nullptr, nullptr) == SQLITE_OK;
    ok &= sqlite3_create_function_v2(db, "tsql_datetime", 2, flags, nullptr, datetimeFn, nullptr, nullptr, nullptr) == SQLITE_OK;
    ok &= sqlite3_create_function_v2(db, "tsql_monthname", 1, flags, nullptr, monthnameFn, nullptr, nullptr, nullptr) == SQLITE_OK;
    ok &= sqlite3_create_function_v2(db, "tsql_dayname", 1, flags, nullptr, daynameFn, nullptr, nullptr, nullptr) == SQLITE_OK;
    ok &= sqlite3_create_function_v2(db, "tsql_char", 2, flags, nullptr, charFn, nullptr, nullptr, nullptr) == SQLITE_OK;
    ok &= sqlite3_create_function_v2(db, "tsql_text", 3, flags, nullptr, textFn, nullptr, nullptr, nullptr) == SQLITE_OK;
    ok &= sqlite3_create_function_v2(db, "tsql_getdate", 0, SQLITE_UTF8, nullptr, getdateFn, nullptr, nullptr, nullptr) == SQLITE_OK;
    return ok;
}

} // namespace SqliteFunctions
