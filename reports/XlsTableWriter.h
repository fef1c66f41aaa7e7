#pragma once

#include <QStringList>
#include <QVariantList>

class XlsWorkbook;

// Writes a table of rows under a header row; past the 65,536 rows of a sheet it goes
// on in "Name (2)", "Name (3)" ..., each with the header row again. Nothing is cut.
class XlsTableWriter {
public:
    // columnStyles: a style of the workbook per column (-1: the default).
    XlsTableWriter(XlsWorkbook& workbook, const QString& sheetName, const QStringList& headers,
                   const QList<int>& columnStyles = {});

    void addRow(const QVariantList& values);
    int sheetCount() const { return m_sheets; }
    qint64 rowCount() const { return m_rows; }

private:
    void startSheet();

    XlsWorkbook& m_wb;
    QString m_name;
    QStringList m_headers;
    QList<int> m_styles;
    int m_sheets = 0;
    int m_row = 0;
    qint64 m_rows = 0;
};
