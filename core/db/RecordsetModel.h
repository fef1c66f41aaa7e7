#pragma once

#include <QAbstractTableModel>
#include <QPointer>

class QItemSelectionModel;
class Recordset;

// Binds a Recordset to a grid: one row per record, one column per field (or the
// fields chosen, with their captions), the current record and the grid's current
// row kept in step both ways.
class RecordsetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecordsetModel(Recordset* recordset, QObject* parent = nullptr);

    // Shows these fields, in this order, under these captions (all fields by default).
    void setColumns(const QStringList& fields, const QStringList& captions = {});
    // Keeps this selection model's current row and the record's position together.
    void bindSelection(QItemSelectionModel* selection);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    void setEditable(bool editable) { m_editable = editable; }
    int fieldOf(int column) const;

private:
    void syncSelection(int row);

    QPointer<Recordset> m_rs;
    QVector<int> m_fields;
    QStringList m_captions;
    bool m_allFields = true;
    bool m_editable = false;
    QPointer<QItemSelectionModel> m_selection;
    bool m_syncing = false;
};
