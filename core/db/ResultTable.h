#pragma once

#include <QString>
#include <QVariant>
#include <QVector>

// Rows read from the database, with where each column comes from (for writes back).
struct ResultColumn {
    QString name;
    bool isDate = false;
    QString table;  // base table of the column, when the engine tells it
    QString origin; // its name in that table
};

struct ResultTable {
    QVector<ResultColumn> columns;
    QVector<QVector<QVariant>> rows;

    int columnIndex(const QString& name) const
    {
        for (int i = 0; i < columns.size(); ++i)
            if (columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }
};
