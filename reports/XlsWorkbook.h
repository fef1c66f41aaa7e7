#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QIODevice>
#include <QList>
#include <QString>
#include <QVariant>
#include <memory>

// Writes Excel 97-2003 workbooks (BIFF8 records in an OLE2 compound file). Cells are
// encoded as they are added, so the workbook holds its own bytes, not a copy of the
// caller's rows. Texts go to the shared-string table.
class XlsWorkbook {
public:
    // A cell style: font, number format, fill colour. Colour numbers are the
    // workstation's (red + green * 256 + blue * 65536), -1 for none.
    struct Style {
        QString fontName = QStringLiteral("Arial");
        double fontSize = 10;
        bool bold = false;
        QString numberFormat; // empty: General
        int fillColour = -1;
        bool operator==(const Style& o) const
        {
            return fontName == o.fontName && fontSize == o.fontSize && bold == o.bold &&
                   numberFormat == o.numberFormat && fillColour == o.fillColour;
        }
    };

    static constexpr int MaxRows = 65536;
    static constexpr int MaxColumns = 256;
    static constexpr int MaxTextLength = 32767;

    XlsWorkbook();
    ~XlsWorkbook();

    // Adds a sheet (name cut to 31 characters, characters []:*?/\ replaced) and makes it
    // the one cells go to; answers its index.
    int addSheet(const QString& name);
    int sheetCount() const;
    void setColumnWidth(int column, double characters);

    // A style index for setCell; the same style gives the same index.
    int style(const Style& s);

    // Cells of the current sheet, rows and columns from 0. A QString is text; int,
    // qlonglong and double are numbers; bool a boolean; QDate a date; QDateTime a
    // date-time; a null QVariant an empty cell. Dates without a style get the formats
    // "dd/mm/yyyy" and "dd/mm/yyyy hh:mm:ss". Answers false beyond the sheet's limits.
    bool setCell(int row, int column, const QVariant& value, int style = -1);

    // Writes the file through a temporary file in the same folder, renamed at the end.
    bool save(const QString& path, QString* error = nullptr);

    // The compound file, written to a device; toBytes keeps it in memory.
    bool write(QIODevice& device);
    QByteArray toBytes();

    // Excel's serial number of a date-time (days since 30/12/1899).
    static double serial(const QDateTime& d);

private:
    struct Sheet;
    struct Impl;
    std::unique_ptr<Impl> d;
};
