#pragma once

#include "ResultTable.h"

#include <QStringList>

class Database;

// The stored procedures of the site's database, for the embedded engine: reached
// through "EXEC name args" on the caller's own connection.
namespace Procedures {

// Throws AppException for an unknown procedure or bad arguments.
ResultTable run(Database& db, const QString& name, const QStringList& args);

} // namespace Procedures
