#include "XlsTemplate.h"

#include "XlsWorkbook.h"

#include <QDateTime>
#include <freexl.h>

namespace XlsTemplate {

bool readRows(const QString& path, const QString& sheet, int rowCount, QList<QVariantList>* rows, QString* error)
{
    rows->clear();
    const void* handle = nullptr;
    if (freexl_open(path.toLocal8Bit().constData(), &handle) != FREEXL_OK) {
        if (error)
            *error = QStringLiteral("Le modèle « %1 » ne peut pas être lu.").arg(path);
        if (handle)
            freexl_close(handle);
        return false;
    }
    unsigned int sheets = 0;
    freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &sheets);
    int chosen = sheet.isEmpty() ? 0 : -1;
    for (unsigned int i = 0; i < sheets && chosen < 0; ++i) {
        const char* name = nullptr;
        if (freexl_get_worksheet_name(handle, quint16(i), &name) == FREEXL_OK && name &&
            QString::fromUtf8(name).compare(sheet, Qt::CaseInsensitive) == 0)
            chosen = int(i);
    }
    if (chosen < 0 || unsigned(chosen) >= sheets || freexl_select_active_worksheet(handle, quint16(chosen)) != FREEXL_OK) {
        if (error)
            *error = QStringLiteral("La feuille « %1 » est absente du modèle « %2 ».").arg(sheet, path);
        freexl_close(handle);
        return false;
    }
    unsigned int lastRow = 0;
    unsigned short lastCol = 0;
    freexl_worksheet_dimensions(handle, &lastRow, &lastCol);
    for (unsigned int r = 0; r < lastRow && int(r) < rowCount; ++r) {
        QVariantList row;
        for (unsigned short c = 0; c < lastCol; ++c) {
            FreeXL_CellValue v;
            if (freexl_get_cell_value(handle, r, c, &v) != FREEXL_OK) {
                row << QVariant();
                continue;
            }
            switch (v.type) {
            case FREEXL_CELL_INT: row << QVariant(v.value.int_value); break;
            case FREEXL_CELL_DOUBLE: row << QVariant(v.value.double_value); break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT: row << QVariant(QString::fromUtf8(v.value.text_value)); break;
            case FREEXL_CELL_DATE: row << QVariant(QDate::fromString(QString::fromLatin1(v.value.text_value), QStringLiteral("yyyy-MM-dd"))); break;
            case FREEXL_CELL_DATETIME:
                row << QVariant(QDateTime::fromString(QString::fromLatin1(v.value.text_value), QStringLiteral("yyyy-MM-dd HH:mm:ss")));
                break;
            case FREEXL_CELL_TIME: row << QVariant(QString::fromLatin1(v.value.text_value)); break;
            default: row << QVariant(); break;
            }
        }
        rows->append(row);
    }
    freexl_close(handle);
    return true;
}

void copyRows(XlsWorkbook& workbook, const QList<QVariantList>& rows, int style)
{
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            if (!rows[r][c].isNull())
                workbook.setCell(r, c, rows[r][c], style);
}

} // namespace XlsTemplate
