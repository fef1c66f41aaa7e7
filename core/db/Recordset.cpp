#include "Recordset.h"

#include "AppException.h"
#include "Database.h"
#include "SqliteFunctions.h"

#include <QRegularExpression>
#include <algorithm>

namespace {

const long kNoSuchField = 3265;
const long kBadArgument = 3001;
const long kRowNotFound = -2147217864; // 0x80040E38: the row to update is gone

AppException noCurrent()
{
    return AppException(Database::NoCurrentRecord,
                        QStringLiteral("BOF ou EOF est égal à True, ou l'enregistrement actuel a été "
                                       "supprimé. L'opération demandée nécessite un enregistrement actuel."));
}

bool startsWithWord(const QString& text, const char* word)
{
    static const QRegularExpression lead(QStringLiteral("^\\s*(\\w+)"));
    const auto m = lead.match(text);
    return m.hasMatch() && m.captured(1).compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

QString unbracket(QString name)
{
    name = name.trimmed();
    if (name.startsWith(u'[') && name.endsWith(u']'))
        name = name.mid(1, name.size() - 2);
    if (name.startsWith(u'"') && name.endsWith(u'"'))
        name = name.mid(1, name.size() - 2);
    const int dot = name.lastIndexOf(u'.');
    return dot >= 0 ? unbracket(name.mid(dot + 1)) : name;
}

// Ordering of two database values: nulls first, numbers as numbers, dates as dates,
// texts ignoring case (as the server's collation).
int compareValues(const QVariant& a, const QVariant& b)
{
    const bool an = a.isNull() || !a.isValid();
    const bool bn = b.isNull() || !b.isValid();
    if (an || bn)
        return an == bn ? 0 : (an ? -1 : 1);
    const auto isNumber = [](const QVariant& v) {
        const int t = v.typeId();
        return t == QMetaType::LongLong || t == QMetaType::Int || t == QMetaType::Double ||
               t == QMetaType::ULongLong || t == QMetaType::UInt || t == QMetaType::Bool;
    };
    if (isNumber(a) && isNumber(b)) {
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (a.typeId() == QMetaType::QDateTime && b.typeId() == QMetaType::QDateTime) {
        const QDateTime x = a.toDateTime(), y = b.toDateTime();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    return a.toString().compare(b.toString(), Qt::CaseInsensitive);
}

struct Criterion {
    QString field;
    QString op; // = <> < > <= >= like
    QVariant value;
    QRegularExpression pattern;
};

QRegularExpression likePattern(const QString& text)
{
    QString rx = QStringLiteral("^");
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'[' && i + 2 < text.size() && text[i + 2] == u']') {
            rx += QRegularExpression::escape(QString(text[i + 1]));
            i += 2;
        } else if (c == u'*' || c == u'%') {
            rx += QStringLiteral(".*");
        } else {
            rx += QRegularExpression::escape(QString(c));
        }
    }
    rx += u'$';
    return QRegularExpression(rx, QRegularExpression::CaseInsensitiveOption |
                                      QRegularExpression::DotMatchesEverythingOption);
}

Criterion parseCriterion(const QString& text)
{
    static const QRegularExpression rx(
        QStringLiteral(R"(^\s*\(?\s*(\[[^\]]+\]|[\w.]+)\s*\)?\s*(<=|>=|<>|=|<|>|\blike\b)\s*(.*?)\s*$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const auto m = rx.match(text);
    if (!m.hasMatch() || m.captured(3).isEmpty())
        throw AppException(kBadArgument, QStringLiteral("Critère de recherche incorrect : %1").arg(text));
    Criterion c;
    c.field = unbracket(m.captured(1));
    c.op = m.captured(2).toLower();
    const QString raw = m.captured(3);
    if (raw.startsWith(u'\'')) {
        if (raw.size() < 2 || !raw.endsWith(u'\''))
            throw AppException(kBadArgument, QStringLiteral("Critère de recherche incorrect : %1").arg(text));
        QString inner = raw.mid(1, raw.size() - 2);
        // A lone apostrophe inside would end the text: the criterion is malformed.
        if (inner.count(u'\'') % 2 != 0 || inner.contains(QRegularExpression(QStringLiteral("(^|[^'])'([^']|$)"))))
            throw AppException(kBadArgument, QStringLiteral("Critère de recherche incorrect : %1").arg(text));
        inner.replace(QStringLiteral("''"), QStringLiteral("'"));
        c.value = inner;
    } else if (raw.startsWith(u'#') && raw.endsWith(u'#') && raw.size() > 2) {
        const QDateTime d = SqliteFunctions::parseDateTime(raw.mid(1, raw.size() - 2), 103);
        if (!d.isValid())
            throw AppException(kBadArgument, QStringLiteral("Date incorrecte : %1").arg(raw));
        c.value = d;
    } else {
        bool ok = false;
        const double n = raw.toDouble(&ok);
        if (ok) {
            c.value = n;
        } else {
            const QDateTime d = SqliteFunctions::parseDateTime(raw, 103);
            if (d.isValid())
                c.value = d;
            else if (raw.compare(QLatin1String("null"), Qt::CaseInsensitive) == 0)
                c.value = QVariant();
            else
                throw AppException(kBadArgument, QStringLiteral("Critère de recherche incorrect : %1").arg(text));
        }
    }
    if (c.op == QLatin1String("like"))
        c.pattern = likePattern(c.value.toString());
    return c;
}

bool matches(const Criterion& c, const QVariant& v)
{
    if (v.isNull() || !v.isValid())
        return false;
    if (c.op == QLatin1String("like"))
        return c.pattern.match(v.toString()).hasMatch();
    if (c.value.isNull())
        return false;
    QVariant field = v;
    QVariant wanted = c.value;
    if (wanted.typeId() == QMetaType::QDateTime && field.typeId() != QMetaType::QDateTime) {
        const QDateTime d = SqliteFunctions::parseDateTime(field.toString(), 0);
        if (!d.isValid())
            return false;
        field = d;
    }
    if (wanted.typeId() == QMetaType::Double && field.typeId() == QMetaType::QString) {
        bool ok = false;
        const double d = field.toString().trimmed().toDouble(&ok);
        if (!ok)
            return false;
        field = d;
    }
    const int r = compareValues(field, wanted);
    if (c.op == QLatin1String("="))
        return r == 0;
    if (c.op == QLatin1String("<>"))
        return r != 0;
    if (c.op == QLatin1String("<"))
        return r < 0;
    if (c.op == QLatin1String(">"))
        return r > 0;
    if (c.op == QLatin1String("<="))
        return r <= 0;
    return r >= 0;
}

} // namespace

Recordset::Recordset(Database& db, const QString& commandText, QObject* parent)
    : QObject(parent), m_db(db), m_source(commandText)
{
    const QString text = commandText.trimmed();
    m_simple = !(startsWithWord(text, "SELECT") || startsWithWord(text, "EXEC") ||
                 startsWithWord(text, "EXECUTE") || startsWithWord(text, "WITH"));
    if (m_simple) {
        m_command = QStringLiteral("SELECT * FROM ") + text;
        static const QRegularExpression first(QStringLiteral(R"(^\s*(\[[^\]]+\]|[\w.]+))"));
        m_baseTable = unbracket(first.match(text).captured(1));
    } else {
        m_command = text;
        static const QRegularExpression from(QStringLiteral(R"(\bFROM\s+[\s(]*(\[[^\]]+\]|[\w.]+))"),
                                             QRegularExpression::CaseInsensitiveOption);
        if (!startsWithWord(text, "EXEC") && !startsWithWord(text, "EXECUTE"))
            m_baseTable = unbracket(from.match(text).captured(1));
    }
    load();
}

void Recordset::load()
{
    m_data = m_db.query(m_command);
    resolveTargets();
    applySort();
    m_pos = m_data.rows.isEmpty() ? -1 : 0;
}

void Recordset::resolveTargets()
{
    m_targets.clear();
    m_targetOf = QVector<int>(m_data.columns.size(), -1);
    if (m_baseTable.isEmpty())
        return;
    QStringList fromTables;
    if (!m_simple) {
        static const QRegularExpression rx(QStringLiteral(R"(\b(?:FROM|JOIN)\s+[\s(]*(\[[^\]]+\]|[\w.]+))"),
                                           QRegularExpression::CaseInsensitiveOption);
        auto it = rx.globalMatch(m_command);
        while (it.hasNext())
            fromTables << unbracket(it.next().captured(1));
    }
    QHash<QString, QStringList> columnsCache;
    const auto targetIndex = [&](const QString& table) {
        for (int i = 0; i < m_targets.size(); ++i)
            if (m_targets[i].table.compare(table, Qt::CaseInsensitive) == 0)
                return i;
        Target t;
        t.table = table;
        m_targets.push_back(t);
        return int(m_targets.size() - 1);
    };
    for (int c = 0; c < m_data.columns.size(); ++c) {
        ResultColumn& col = m_data.columns[c];
        QString table;
        if (m_simple) {
            table = m_baseTable;
            col.origin = col.name;
        } else if (!col.table.isEmpty()) {
            table = col.table;
        } else {
            for (const QString& t : fromTables) {
                if (!columnsCache.contains(t.toLower()))
                    columnsCache.insert(t.toLower(), m_db.columnsOf(t));
                if (columnsCache.value(t.toLower()).contains(col.name, Qt::CaseInsensitive)) {
                    table = t;
                    col.origin = col.name;
                    break;
                }
            }
        }
        if (!table.isEmpty())
            m_targetOf[c] = targetIndex(table);
    }
    for (Target& t : m_targets) {
        t.key = m_db.primaryKey(t.table);
        for (const QString& k : t.key) {
            int found = -1;
            for (int c = 0; c < m_data.columns.size(); ++c)
                if (m_targetOf[c] >= 0 && m_targets[m_targetOf[c]].table == t.table &&
                    m_data.columns[c].origin.compare(k, Qt::CaseInsensitive) == 0)
                    found = c;
            t.keyColumns << found;
        }
    }
}

int Recordset::requireField(const QString& field) const
{
    const int c = m_data.columnIndex(unbracket(field));
    if (c < 0)
        throw AppException(kNoSuchField,
                           QStringLiteral("Élément introuvable dans la collection correspondant au nom "
                                          "ou à l'ordinal demandé : %1").arg(field));
    return c;
}

void Recordset::requireCurrent() const
{
    if (isBOF() || isEOF())
        throw noCurrent();
}

QVariant Recordset::value(const QString& field) const
{
    return value(requireField(field));
}

QVariant Recordset::value(int column) const
{
    requireCurrent();
    if (column < 0 || column >= fieldCount())
        throw AppException(kNoSuchField, QStringLiteral("Colonne %1 introuvable").arg(column));
    return m_data.rows[m_pos][column];
}

QVariant Recordset::valueAt(int row, int column) const
{
    if (row < 0 || row >= RecordCount() || column < 0 || column >= fieldCount())
        return QVariant();
    return m_data.rows[row][column];
}

void Recordset::setValue(const QString& field, const QVariant& value)
{
    const int c = requireField(field);
    requireCurrent();
    if (m_edit == Edit::None) {
        m_original = m_data.rows[m_pos];
        m_changed = QVector<bool>(fieldCount(), false);
        m_edit = Edit::Changed;
    }
    QVariant v = value;
    if (v.typeId() == QMetaType::QDate)
        v = QDateTime(v.toDate(), QTime(0, 0));
    m_data.rows[m_pos][c] = v;
    m_changed[c] = true;
    Q_EMIT rowChanged(m_pos);
}

void Recordset::moveTo(int row)
{
    commitPending();
    const int n = RecordCount();
    m_pos = qBound(-1, row, n);
    if (n == 0)
        m_pos = -1;
    Q_EMIT currentChanged(m_pos);
}

void Recordset::MoveFirst()
{
    moveTo(0);
}
void Recordset::MoveLast()
{
    moveTo(RecordCount() - 1);
}
void Recordset::MoveNext()
{
    if (isEOF())
        throw noCurrent();
    moveTo(m_pos + 1);
}
void Recordset::MovePrevious()
{
    if (isBOF())
        throw noCurrent();
    moveTo(m_pos - 1);
}
void Recordset::setPosition(int row)
{
    moveTo(row);
}

bool Recordset::Find(const QString& criteria, int skipRecords, bool forward, int start)
{
    const Criterion c = parseCriterion(criteria);
    const int col = requireField(c.field);
    commitPending();
    int row = start == -2 ? m_pos : start;
    row += forward ? skipRecords : -skipRecords;
    const int n = RecordCount();
    if (forward) {
        for (row = qMax(row, 0); row < n; ++row)
            if (matches(c, m_data.rows[row][col])) {
                moveTo(row);
                return true;
            }
        moveTo(n);
    } else {
        for (row = qMin(row, n - 1); row >= 0; --row)
            if (matches(c, m_data.rows[row][col])) {
                moveTo(row);
                return true;
            }
        moveTo(-1);
    }
    return false;
}

void Recordset::setSort(const QString& sort)
{
    commitPending();
    const QVariantList mark = bookmark();
    const int oldPos = m_pos;
    const QString previous = m_sort;
    m_sort = sort.trimmed();
    Q_EMIT aboutToReset();
    try {
        if (m_sort.isEmpty() || !previous.isEmpty())
            m_data = m_db.query(m_command); // back to the database's order first
        resolveTargets();
        applySort();
    } catch (...) {
        m_sort = previous;
        Q_EMIT wasReset();
        throw;
    }
    Q_EMIT wasReset();
    if (!setBookmark(mark))
        moveTo(qMin(oldPos, RecordCount() - 1));
}

void Recordset::applySort()
{
    if (m_sort.isEmpty())
        return;
    struct Key {
        int column;
        bool descending;
    };
    QVector<Key> keys;
    for (const QString& part : m_sort.split(u',', Qt::SkipEmptyParts)) {
        const QStringList words = part.simplified().split(u' ');
        const int col = requireField(words.value(0));
        const bool desc = words.size() > 1 && words[1].compare(QLatin1String("desc"), Qt::CaseInsensitive) == 0;
        if (words.size() > 2 || (words.size() == 2 && !desc &&
                                 words[1].compare(QLatin1String("asc"), Qt::CaseInsensitive) != 0))
            throw AppException(kBadArgument, QStringLiteral("Tri incorrect : %1").arg(m_sort));
        keys.push_back({col, desc});
    }
    std::stable_sort(m_data.rows.begin(), m_data.rows.end(),
                     [&](const QVector<QVariant>& a, const QVector<QVariant>& b) {
                         for (const Key& k : keys) {
                             const int r = compareValues(a[k.column], b[k.column]);
                             if (r != 0)
                                 return k.descending ? r > 0 : r < 0;
                         }
                         return false;
                     });
}

void Recordset::AddNew()
{
    commitPending();
    const int row = RecordCount();
    m_posBeforeAdd = m_pos;
    Q_EMIT aboutToInsertRow(row);
    m_data.rows.push_back(QVector<QVariant>(fieldCount()));
    Q_EMIT rowInserted(row);
    m_pos = row;
    m_edit = Edit::New;
    m_original.clear();
    m_changed = QVector<bool>(fieldCount(), false);
    Q_EMIT currentChanged(m_pos);
}

QVariantList Recordset::keyValues(const QVector<QVariant>& row, const Target& t) const
{
    QVariantList values;
    for (int c : t.keyColumns) {
        if (c < 0)
            throw AppException(Database::RefusedWrite,
                               QStringLiteral("Informations de colonne clé insuffisantes pour la mise "
                                              "à jour de %1.").arg(t.table));
        values << row[c];
    }
    if (t.key.isEmpty())
        throw AppException(Database::RefusedWrite,
                           QStringLiteral("La table %1 n'a pas de clé : mise à jour impossible.").arg(t.table));
    return values;
}

void Recordset::reread(int row, int target, const QVariantList& keys)
{
    const Target& t = m_targets[target];
    QStringList where;
    for (const QString& k : t.key)
        where << QStringLiteral("\"%1\" = ?").arg(k);
    const ResultTable fresh = m_db.queryNative(
        QStringLiteral("SELECT * FROM \"%1\" WHERE %2").arg(t.table, where.join(QStringLiteral(" AND "))), keys);
    if (fresh.rows.isEmpty())
        return;
    for (int c = 0; c < fieldCount(); ++c) {
        if (m_targetOf[c] != target)
            continue;
        const int f = fresh.columnIndex(m_data.columns[c].origin);
        if (f >= 0)
            m_data.rows[row][c] = fresh.rows.first()[f];
    }
}

void Recordset::Update()
{
    if (m_edit == Edit::None)
        return;
    QVector<QVariant>& row = m_data.rows[m_pos];
    if (m_edit == Edit::New) {
        int target = -1;
        for (int c = 0; c < fieldCount(); ++c) {
            if (!m_changed[c] || m_targetOf[c] < 0)
                continue;
            if (target >= 0 && target != m_targetOf[c])
                throw AppException(Database::RefusedWrite,
                                   QStringLiteral("Ajout impossible : les champs viennent de plusieurs tables."));
            target = m_targetOf[c];
        }
        if (target < 0 && !m_targets.isEmpty())
            target = m_targetOf.value(0, 0) >= 0 ? m_targetOf.value(0, 0) : 0;
        if (target < 0)
            throw AppException(Database::RefusedWrite, QStringLiteral("Ajout impossible dans ce résultat."));
        const Target& t = m_targets[target];
        QStringList cols, marks;
        QVariantList values;
        for (int c = 0; c < fieldCount(); ++c)
            if (m_changed[c] && m_targetOf[c] == target) {
                cols << QStringLiteral("\"%1\"").arg(m_data.columns[c].origin);
                marks << QStringLiteral("?");
                values << row[c];
            }
        const QString sql = cols.isEmpty()
                                ? QStringLiteral("INSERT INTO \"%1\" DEFAULT VALUES").arg(t.table)
                                : QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                                      .arg(t.table, cols.join(u','), marks.join(u','));
        m_db.executeNative(sql, values);
        QVariantList keys;
        bool complete = !t.key.isEmpty();
        for (int i = 0; i < t.keyColumns.size(); ++i) {
            const int c = t.keyColumns[i];
            if (c < 0 || row[c].isNull())
                complete = false;
            else
                keys << row[c];
        }
        if (!complete && t.key.size() == 1) {
            keys = {m_db.lastInsertId()};
            complete = true;
        }
        m_edit = Edit::None;
        if (complete)
            reread(m_pos, target, keys);
        Q_EMIT rowChanged(m_pos);
        return;
    }
    // Changed: one UPDATE per table the changed fields belong to.
    QVector<int> touched;
    for (int c = 0; c < fieldCount(); ++c)
        if (m_changed[c]) {
            if (m_targetOf[c] < 0)
                throw AppException(Database::RefusedWrite,
                                   QStringLiteral("Le champ %1 ne peut pas être modifié.").arg(fieldName(c)));
            if (!touched.contains(m_targetOf[c]))
                touched << m_targetOf[c];
        }
    QVector<QVariantList> newKeys;
    for (int target : touched) {
        const Target& t = m_targets[target];
        const QVariantList oldKeys = keyValues(m_original, t);
        QStringList sets, where;
        QVariantList values;
        for (int c = 0; c < fieldCount(); ++c)
            if (m_changed[c] && m_targetOf[c] == target) {
                sets << QStringLiteral("\"%1\" = ?").arg(m_data.columns[c].origin);
                values << row[c];
            }
        for (const QString& k : t.key)
            where << QStringLiteral("\"%1\" = ?").arg(k);
        values << oldKeys;
        const qint64 n = m_db.executeNative(QStringLiteral("UPDATE \"%1\" SET %2 WHERE %3")
                                                .arg(t.table, sets.join(QStringLiteral(", ")),
                                                     where.join(QStringLiteral(" AND "))),
                                            values);
        // A view's triggers do the write: the engine counts no row for the view itself.
        if (n == 0 && !m_db.isView(t.table))
            throw AppException(kRowNotFound,
                               QStringLiteral("Impossible de trouver la ligne à mettre à jour : "
                                              "elle a été modifiée ou supprimée."));
        newKeys << keyValues(row, t);
    }
    m_edit = Edit::None;
    for (int i = 0; i < touched.size(); ++i)
        reread(m_pos, touched[i], newKeys[i]);
    Q_EMIT rowChanged(m_pos);
}

void Recordset::CancelUpdate()
{
    if (m_edit == Edit::New) {
        const int row = m_pos;
        m_edit = Edit::None;
        Q_EMIT aboutToRemoveRow(row);
        m_data.rows.removeAt(row);
        Q_EMIT rowRemoved(row);
        // Back to the row that was current before AddNew.
        m_pos = RecordCount() == 0 ? -1 : qBound(-1, m_posBeforeAdd, RecordCount());
        Q_EMIT currentChanged(m_pos);
    } else if (m_edit == Edit::Changed) {
        m_data.rows[m_pos] = m_original;
        m_edit = Edit::None;
        Q_EMIT rowChanged(m_pos);
    }
}

void Recordset::commitPending()
{
    if (m_edit != Edit::None)
        Update();
}

void Recordset::Delete()
{
    requireCurrent();
    if (m_edit == Edit::New) {
        CancelUpdate();
        return;
    }
    if (m_edit == Edit::Changed)
        CancelUpdate();
    int target = -1;
    for (int i = 0; i < m_targets.size(); ++i)
        if (m_targets[i].table.compare(m_baseTable, Qt::CaseInsensitive) == 0)
            target = i;
    if (target < 0)
        throw AppException(Database::RefusedWrite, QStringLiteral("Suppression impossible dans ce résultat."));
    const Target& t = m_targets[target];
    const QVariantList keys = keyValues(m_data.rows[m_pos], t);
    QStringList where;
    for (const QString& k : t.key)
        where << QStringLiteral("\"%1\" = ?").arg(k);
    m_db.executeNative(QStringLiteral("DELETE FROM \"%1\" WHERE %2").arg(t.table, where.join(QStringLiteral(" AND "))),
                       keys);
    const int row = m_pos;
    Q_EMIT aboutToRemoveRow(row);
    m_data.rows.removeAt(row);
    Q_EMIT rowRemoved(row);
    // The next row becomes current (EOF after the last one).
    m_pos = RecordCount() == 0 ? -1 : row;
    Q_EMIT currentChanged(m_pos);
}

void Recordset::Requery()
{
    commitPending();
    Q_EMIT aboutToReset();
    try {
        load();
    } catch (...) {
        m_data = ResultTable();
        m_pos = -1;
        Q_EMIT wasReset();
        throw;
    }
    Q_EMIT wasReset();
    Q_EMIT currentChanged(m_pos);
}

QVariantList Recordset::bookmark() const
{
    if (isBOF() || isEOF())
        return {};
    for (const Target& t : m_targets)
        if (t.table.compare(m_baseTable, Qt::CaseInsensitive) == 0 && !t.key.isEmpty() &&
            !t.keyColumns.contains(-1)) {
            QVariantList keys;
            for (int c : t.keyColumns)
                keys << m_data.rows[m_pos][c];
            return keys;
        }
    return {QVariant(m_pos), QStringLiteral("#row")};
}

bool Recordset::setBookmark(const QVariantList& mark)
{
    if (mark.isEmpty())
        return false;
    if (mark.size() == 2 && mark[1] == QStringLiteral("#row")) {
        const int row = mark[0].toInt();
        if (row < 0 || row >= RecordCount())
            return false;
        moveTo(row);
        return true;
    }
    for (const Target& t : m_targets) {
        if (t.table.compare(m_baseTable, Qt::CaseInsensitive) != 0 || t.keyColumns.contains(-1) ||
            t.keyColumns.size() != mark.size())
            continue;
        for (int r = 0; r < RecordCount(); ++r) {
            bool same = true;
            for (int i = 0; i < mark.size() && same; ++i)
                same = compareValues(m_data.rows[r][t.keyColumns[i]], mark[i]) == 0;
            if (same) {
                moveTo(r);
                return true;
            }
        }
    }
    return false;
}
