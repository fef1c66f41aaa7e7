#include "XlsTableWriter.h"

#include "XlsWorkbook.h"

XlsTableWriter::XlsTableWriter(XlsWorkbook& workbook, const QString& sheetName, const QStringList& headers,
                               const QList<int>& columnStyles)
    : m_wb(workbook), m_name(sheetName), m_headers(headers), m_styles(columnStyles)
{
    startSheet();
}

void XlsTableWriter::startSheet()
{
    ++m_sheets;
    m_wb.addSheet(m_sheets == 1 ? m_name : QStringLiteral("%1 (%2)").arg(m_name).arg(m_sheets));
    for (int c = 0; c < m_headers.size(); ++c)
        m_wb.setCell(0, c, m_headers[c]);
    m_row = 1;
}

void XlsTableWriter::addRow(const QVariantList& values)
{
    if (m_row >= XlsWorkbook::MaxRows)
        startSheet();
    for (int c = 0; c < values.size(); ++c)
        m_wb.setCell(m_row, c, values[c], m_styles.value(c, -1));
    ++m_row;
    ++m_rows;
}
