#pragma once

#include "ReportTemplate.h"
#include "ResultTable.h"

#include <QList>
#include <QRectF>

class QPainter;

// The laid-out report: every text and line of every page, in millimetres. One layout
// serves the screen, the printer and the PDF, and is written as text for the tests.
struct ReportLayout {
    struct Item {
        enum Kind { Text, Line, Bar, Picture } kind = Text;
        QRectF rect; // Text: its box; Line: from topLeft to bottomRight
        QString text;
        double size = 9;
        bool bold = false;
        Qt::Alignment align = Qt::AlignLeft;
        QByteArray picture; // Picture: the image file's bytes
    };
    struct Page {
        QList<Item> items;
    };

    QSizeF pageSize; // mm
    QList<Page> pages;

    // Lays out the template over its tables (in the template's order; table 1 is the
    // data). False with a message naming the template when a field does not exist.
    static bool build(const ReportTemplate& t, const QList<ResultTable>& tables, ReportLayout* out, QString* error);

    QString toText() const;
    // The 95 modules ('1' black) of an EAN-13 code given as 13 digits or as the
    // 15-character barcode-font text; empty when it is neither.
    static QString ean13Modules(const QString& code);
    // Paints one page; resolution: device pixels per inch.
    void paint(int page, QPainter& painter, double resolution) const;
    // Writes the PDF through a temporary file renamed at the end.
    bool writePdf(const QString& path, QString* error) const;
};
