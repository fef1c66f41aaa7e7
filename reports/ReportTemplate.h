#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// A report template in the project's own text format (documented in
// docs/modeles-de-rapport.md): its data tables by position, its page, heading lines,
// detail columns, groups with sums and a grand total.
struct ReportTemplate {
    struct Line {
        QString text; // with {Field} or {Table.Field} references
        double size = 10;
        bool bold = false;
        Qt::Alignment align = Qt::AlignLeft;
    };
    struct Column {
        QString field;
        QString caption;
        double width = 20; // mm
        Qt::Alignment align = Qt::AlignLeft;
        QString format; // "0", "0.00", a date format such as "dd/MM/yyyy", or empty
    };
    struct Group {
        QString field;
        QString header;
        QString footer;
        QStringList sums;
    };

    // A bar chart of a value summed by category (the monthly graph).
    struct Chart {
        QString category;
        QString value;
        QString title;
        double height = 110; // mm
    };
    // A sheet of labels: a grid per page, each label with its lines, picture and bars.
    struct Labels {
        QString model; // L7161 or L7060
        int columns = 3, rows = 6;
        double width = 63.5, height = 46.6, left = 7.2, top = 8.85, pitchX = 66.04, pitchY = 46.6;
        QList<Line> lines;
        QString picture; // field holding the picture's bytes
        QString barcode; // field holding 13 digits or the barcode-font text
    };

    QString fileName;
    std::optional<Chart> chart;
    std::optional<Labels> labels;
    QStringList tables; // names by position: table 1 is the data
    bool landscape = false;
    double margins[4] = {15, 15, 15, 15}; // top, right, bottom, left (mm)
    QStringList sort;                     // "Field" or "Field desc"
    QList<Line> heading;
    QList<Column> columns;
    QList<Group> groups;
    QString totalText;
    QStringList totalSums;
    double fontSize = 9;

    // Reads a template; false with a message naming the file and the line on error.
    static bool parse(const QString& path, ReportTemplate* out, QString* error);
    static bool parseText(const QString& text, const QString& fileName, ReportTemplate* out, QString* error);
};
