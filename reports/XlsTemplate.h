#pragma once

#include <QList>
#include <QString>
#include <QVariantList>

class XlsWorkbook;

// Reads an existing .xls (a site's template) with FreeXL.
namespace XlsTemplate {

// The first rows of a sheet (the first sheet when the name is empty), as cell values:
// texts, numbers, QDate / QDateTime, null for empty cells. False when the file cannot
// be read; error says why.
bool readRows(const QString& path, const QString& sheet, int rowCount, QList<QVariantList>* rows,
              QString* error = nullptr);

// Writes those rows at the top of the current sheet of the workbook (row 0 on).
void copyRows(XlsWorkbook& workbook, const QList<QVariantList>& rows, int style = -1);

} // namespace XlsTemplate
