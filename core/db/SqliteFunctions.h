#pragma once

#include <QDateTime>
#include <QString>

struct sqlite3;

// The T-SQL functions that the dialect turns texts into, for the embedded engine.
namespace SqliteFunctions {

// Registers tsql_datetime, tsql_monthname, tsql_dayname, tsql_char, tsql_text and
// tsql_getdate on the connection.
bool registerAll(sqlite3* db);

// Reads a date as CONVERT(DATETIME, text, style) does (style 103: dd/mm/yyyy
// [hh:mi[:ss[.mmm]]]; other styles: yyyy-mm-dd [hh:mi:ss] first). Invalid: no value.
QDateTime parseDateTime(const QString& text, int style);
// The storage form of dates: 'YYYY-MM-DD HH:MM:SS'.
QString storageText(const QDateTime& value);
QString frenchMonth(int month);

} // namespace SqliteFunctions
