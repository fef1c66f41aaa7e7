#include "RecordsetModel.h"

#include "AppException.h"
#include "Recordset.h"

#include <QDateTime>
#include <QItemSelectionModel>
#include <QLocale>

RecordsetModel::RecordsetModel(Recordset* recordset, QObject* parent)
    : QAbstractTableModel(parent), m_rs(recordset)
{
    connect(m_rs, &Recordset::aboutToReset, this, [this] { beginResetModel(); });
    connect(m_rs, &Recordset::wasReset, this, [this] {
        if (m_allFields)
            setColumns({});
        endResetModel();
    });
    connect(m_rs, &Recordset::aboutToInsertRow, this, [this](int row) { beginInsertRows({}, row, row); });
    connect(m_rs, &Recordset::rowInserted, this, [this] { endInsertRows(); });
    connect(m_rs, &Recordset::aboutToRemoveRow, this, [this](int row) { beginRemoveRows({}, row, row); });
    connect(m_rs, &Recordset::rowRemoved, this, [this] { endRemoveRows(); });
    connect(m_rs, &Recordset::rowChanged, this, [this](int row) {
        if (row >= 0 && row < rowCount() && columnCount() > 0)
            Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
    connect(m_rs, &Recordset::currentChanged, this, &RecordsetModel::syncSelection);
    setColumns({});
}

void RecordsetModel::setColumns(const QStringList& fields, const QStringList& captions)
{
    m_fields.clear();
    m_captions.clear();
    m_allFields = fields.isEmpty();
    if (m_allFields) {
        for (int i = 0; i < m_rs->fieldCount(); ++i) {
            m_fields << i;
            m_captions << m_rs->fieldName(i);
        }
    } else {
        for (int i = 0; i < fields.size(); ++i) {
            m_fields << m_rs->fieldIndex(fields[i]);
            m_captions << captions.value(i, fields[i]);
        }
    }
}

void RecordsetModel::bindSelection(QItemSelectionModel* selection)
{
    m_selection = selection;
    connect(selection, &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (m_syncing || !m_rs || !current.isValid() || current.row() == m_rs->position())
                    return;
                m_syncing = true;
                try {
                    m_rs->setPosition(current.row());
                } catch (const AppException&) {
                    // A pending change the database refuses keeps the record where it was.
                }
                m_syncing = false;
            });
    syncSelection(m_rs->position());
}

void RecordsetModel::syncSelection(int row)
{
    if (!m_selection || m_syncing)
        return;
    m_syncing = true;
    if (row >= 0 && row < rowCount())
        m_selection->setCurrentIndex(index(row, 0), QItemSelectionModel::ClearAndSelect |
                                                        QItemSelectionModel::Rows);
    else
        m_selection->clearCurrentIndex();
    m_syncing = false;
}

int RecordsetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_rs ? 0 : m_rs->RecordCount();
}

int RecordsetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_fields.size());
}

int RecordsetModel::fieldOf(int column) const
{
    return m_fields.value(column, -1);
}

QVariant RecordsetModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !m_rs)
        return QVariant();
    const QVariant v = m_rs->valueAt(index.row(), fieldOf(index.column()));
    switch (role) {
    case Qt::DisplayRole:
        if (v.typeId() == QMetaType::QDateTime) {
            const QDateTime d = v.toDateTime();
            return d.time() == QTime(0, 0) ? d.toString(QStringLiteral("dd/MM/yyyy"))
                                           : d.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
        }
        if (v.typeId() == QMetaType::Double)
            return QLocale().toString(v.toDouble(), 'g', 15);
        return v;
    case Qt::EditRole:
        return v;
    case Qt::TextAlignmentRole: {
        const int t = v.typeId();
        if (t == QMetaType::Double || t == QMetaType::LongLong || t == QMetaType::Int)
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant();
    }
    default:
        return QVariant();
    }
}

QVariant RecordsetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Horizontal)
        return m_captions.value(section);
    return section + 1;
}

Qt::ItemFlags RecordsetModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_editable)
        f |= Qt::ItemIsEditable;
    return f;
}

bool RecordsetModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!m_editable || role != Qt::EditRole || !index.isValid() || !m_rs)
        return false;
    try {
        m_rs->setPosition(index.row());
        m_rs->setValue(m_rs->fieldName(fieldOf(index.column())), value);
        m_rs->Update();
        return true;
    } catch (const AppException&) {
        m_rs->CancelUpdate();
        return false;
    }
}
