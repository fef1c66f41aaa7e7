#pragma once

#include "ResultTable.h"

#include <QObject>
#include <QVariantList>

class Database;

// A client-side result set: all rows read at once, browsed, searched, sorted, and
// written back row by row through the base table's key. Opened from a command text:
// "Table", "Table where ... order by ...", or a whole SELECT or EXEC.
class Recordset : public QObject {
    Q_OBJECT
public:
    // Throws AppException when the text cannot be run.
    Recordset(Database& db, const QString& commandText, QObject* parent = nullptr);

    const QString& source() const { return m_source; }
    Database& database() const { return m_db; }

    // Fields, by name ignoring case. Reading at BOF or EOF throws 3021; an unknown
    // name throws 3265.
    int fieldCount() const { return int(m_data.columns.size()); }
    QString fieldName(int column) const { return m_data.columns.value(column).name; }
    int fieldIndex(const QString& name) const { return m_data.columnIndex(name); }
    QVariant value(const QString& field) const;
    QVariant value(int column) const;
    QVariant valueAt(int row, int column) const;
    // Changes a field of the current row; the row is written by Update (or by a move).
    void setValue(const QString& field, const QVariant& value);

    int RecordCount() const { return int(m_data.rows.size()); }
    // 0-based row; -1 at BOF, RecordCount() at EOF.
    int position() const { return m_pos; }
    bool isBOF() const { return m_pos < 0 || m_data.rows.isEmpty(); }
    bool isEOF() const { return m_pos >= RecordCount() || m_data.rows.isEmpty(); }
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    void setPosition(int row);

    // Criteria: "[Col]=n", "Col=n", "Col='text'", "Col like 'text'", "Col like 'text*'",
    // "(Col)>=date", with =, <>, <, >, <=, >= and like. From the current row (or from
    // start when given), after skipping skipRecords rows. On a match the row becomes
    // current and the answer is yes; otherwise the position is EOF (BOF backwards).
    bool Find(const QString& criteria, int skipRecords = 0, bool forward = true, int start = -2);

    // "Col Desc, Col2 asc"; the empty text restores the order of the database.
    void setSort(const QString& sort);
    QString sort() const { return m_sort; }

    void AddNew();
    void Update();
    void CancelUpdate();
    void Delete();
    bool isEditing() const { return m_edit != Edit::None; }
    bool isNewRow() const { return m_edit == Edit::New; }

    // Reads the rows again; the position goes to the first row.
    void Requery();

    // The current row's key, to come back to it after a re-query.
    QVariantList bookmark() const;
    bool setBookmark(const QVariantList& bookmark);


Q_SIGNALS:
    void currentChanged(int row);
    void aboutToReset();
    void wasReset();
    void rowChanged(int row);
    void aboutToInsertRow(int row);
    void rowInserted(int row);
    void aboutToRemoveRow(int row);
    void rowRemoved(int row);

private:
    enum class Edit { None, Changed, New };
    struct Target {
        QString table;
        QStringList key;           // key columns in the table
        QVector<int> keyColumns;   // their columns in the result, -1 when absent
    };

    void load();
    void resolveTargets();
    int requireField(const QString& field) const;
    void requireCurrent() const;
    void commitPending();
    void applySort();
    int targetOf(int column) const { return m_targetOf.value(column, -1); }
    void reread(int row, int target, const QVariantList& keyValues);
    QVariantList keyValues(const QVector<QVariant>& row, const Target& t) const;
    void moveTo(int row);

    Database& m_db;
    QString m_source;
    QString m_command; // what runs
    bool m_simple = false; // "Table [where ...]"
    QString m_baseTable;
    ResultTable m_data;
    int m_pos = -1;
    int m_posBeforeAdd = -1;
    QString m_sort;
    Edit m_edit = Edit::None;
    QVector<QVariant> m_original;
    QVector<bool> m_changed;
    QVector<Target> m_targets;
    QVector<int> m_targetOf; // per column
};
