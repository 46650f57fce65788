#include "db/dataset.h"

#include "db/datetimes.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <thread>
#include <vector>

namespace db {

namespace {

Error notOpen()
{
    return Error{QStringLiteral("Il data set non è aperto.")};
}

// What is written for a value: yes/no never null, amounts to four decimals as they are read.
QVariant boundValue(const Column &column, const QVariant &value)
{
    if (column.kind == FieldKind::Bool)
        return value.toBool();
    if (column.kind == FieldKind::Currency && value.isValid())
        return std::round(value.toDouble() * 10000.0) / 10000.0;
    return value;
}

Error unknownColumn(QStringView column)
{
    return Error{QStringLiteral("Colonna sconosciuta: %1").arg(column.toString())};
}

} // namespace

DataSet::DataSet(Connection &connection, const QString &name, QObject *parent)
    : QObject(parent), m_connection(connection), m_name(name)
{
    setObjectName(name);
}

Status DataSet::open()
{
    if (isOpen())
        return {};
    Result<RowSet> fetched = m_connection.run(m_sql, m_values);
    if (!fetched)
        return fetched.error();
    m_columns = std::move(fetched->columns);
    m_rows = std::move(fetched->rows);
    m_deleted = QList<bool>(m_rows.size(), false);
    setState(State::Browse);
    // The filter and sort texts outlive a close; they apply to the new rows if they still can.
    Result<RowFilter> filter = RowFilter::parse(m_filterText, m_columns);
    Result<RowSort> sort = RowSort::parse(m_sortText, m_columns);
    Status kept = filter ? (sort ? Status() : Status(sort.error())) : Status(filter.error());
    if (!filter)
        m_filterText.clear();
    if (!sort)
        m_sortText.clear();
    applyFilterAndSort(filter ? *filter : RowFilter(), sort ? *sort : RowSort());
    first();
    notifyReset();
    return kept;
}

void DataSet::close()
{
    if (!isOpen())
        return;
    m_columns.clear();
    m_rows.clear();
    m_deleted.clear();
    m_visible.clear();
    m_buffer.clear();
    m_position = -1;
    m_bof = m_eof = true;
    setState(State::Inactive);
    notifyReset();
}

Status DataSet::requery()
{
    if (!leaveEditing())
        return Error{QStringLiteral("Il record in modifica non è stato salvato.")};
    const QString filter = m_filterText;
    const QString sort = m_sortText;
    disableControls();
    close();
    m_filterText = filter;
    m_sortText = sort;
    Status opened = open();
    enableControls();
    return opened;
}

int DataSet::columnIndex(QStringView name) const
{
    for (qsizetype i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

bool DataSet::leaveEditing()
{
    if (m_state != State::Edit && m_state != State::Insert)
        return true;
    const Status written = post();
    if (!written)
        Q_EMIT postFailed(written.message());
    return written.ok();
}

void DataSet::first()
{
    if (!leaveEditing())
        return;
    setPosition(m_visible.isEmpty() ? -1 : 0);
    m_bof = true;
    m_eof = m_visible.isEmpty();
}

void DataSet::last()
{
    if (!leaveEditing())
        return;
    setPosition(int(m_visible.size()) - 1);
    m_eof = true;
    m_bof = m_visible.isEmpty();
}

void DataSet::next()
{
    if (!leaveEditing())
        return;
    if (m_position + 1 < m_visible.size()) {
        setPosition(m_position + 1);
        m_bof = false;
    } else {
        m_eof = true;
    }
}

void DataSet::prior()
{
    if (!leaveEditing())
        return;
    if (m_position > 0) {
        setPosition(m_position - 1);
        m_eof = false;
    } else {
        m_bof = true;
    }
}

void DataSet::setPosition(int visibleIndex)
{
    if (visibleIndex < -1 || visibleIndex >= m_visible.size() || !leaveEditing())
        return;
    m_bof = m_eof = m_visible.isEmpty();
    if (visibleIndex == m_position)
        return;
    m_position = visibleIndex;
    notifyCurrent();
}

Result<bool> DataSet::locate(QStringView column, const QVariant &value)
{
    if (!isOpen())
        return notOpen();
    const int c = columnIndex(column);
    if (c < 0)
        return unknownColumn(column);
    const bool text = value.typeId() == QMetaType::QString;
    for (qsizetype i = 0; i < m_visible.size(); ++i) {
        const QVariant &v = m_rows[m_visible[i]][c];
        const bool equal = text ? (v.isValid() && v.toString().compare(value.toString(), Qt::CaseInsensitive) == 0)
                                : compareValues(v, value) == 0 && v.isValid() == value.isValid();
        if (equal) {
            setPosition(int(i));
            return true;
        }
    }
    return false;
}

DataSet::Bookmark DataSet::bookmark() const
{
    return bookmarkAt(m_position);
}

DataSet::Bookmark DataSet::bookmarkAt(int visibleIndex) const
{
    return visibleIndex >= 0 && visibleIndex < m_visible.size() ? m_visible[visibleIndex] : kNoBookmark;
}

bool DataSet::isBookmarkValid(Bookmark bookmark) const
{
    return bookmark >= 0 && bookmark < m_rows.size() && !m_deleted[bookmark];
}

bool DataSet::gotoBookmark(Bookmark bookmark)
{
    if (!isBookmarkValid(bookmark))
        return false;
    const qsizetype index = m_visible.indexOf(bookmark);
    if (index < 0)
        return false;
    setPosition(int(index));
    return true;
}

const QVariantList *DataSet::currentRow() const
{
    if (m_state == State::Edit || m_state == State::Insert)
        return &m_buffer;
    if (m_position < 0 || m_position >= m_visible.size())
        return nullptr;
    return &m_rows[m_visible[m_position]];
}

QVariant DataSet::value(QStringView column) const
{
    const QVariantList *row = currentRow();
    const int c = columnIndex(column);
    return row && c >= 0 ? row->at(c) : QVariant();
}

QVariant DataSet::valueAt(int visibleIndex, int column) const
{
    if (visibleIndex < 0 || visibleIndex >= m_visible.size() || column < 0 || column >= m_columns.size())
        return {};
    // A row being added is not among the visible ones until it is written: the row it was
    // added on keeps showing its own values.
    if (visibleIndex == m_position && m_state == State::Edit)
        return m_buffer[column];
    return m_rows[m_visible[visibleIndex]][column];
}

QVariant DataSet::valueOf(Bookmark bookmark, QStringView column) const
{
    const int c = columnIndex(column);
    if (!isBookmarkValid(bookmark) || c < 0)
        return {};
    return m_rows[bookmark][c];
}

QString DataSet::asString(QStringView column) const
{
    const QVariant v = value(column);
    if (v.typeId() == QMetaType::QDateTime)
        return italianDateText(v.toDateTime());
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    return v.toString();
}

qint64 DataSet::asInteger(QStringView column) const
{
    return value(column).toLongLong();
}

double DataSet::asFloat(QStringView column) const
{
    return value(column).toDouble();
}

bool DataSet::asBoolean(QStringView column) const
{
    return value(column).toBool();
}

QDateTime DataSet::asDateTime(QStringView column) const
{
    const QVariant v = value(column);
    return v.typeId() == QMetaType::QDateTime ? v.toDateTime() : parseStoredDateTime(v.toString());
}

QByteArray DataSet::asBytes(QStringView column) const
{
    return value(column).toByteArray();
}

Status DataSet::setFilter(const QString &filter)
{
    if (!isOpen()) {
        m_filterText = filter;
        return {};
    }
    Result<RowFilter> parsed = RowFilter::parse(filter, m_columns);
    if (!parsed)
        return parsed.error();
    if (!leaveEditing())
        return Error{QStringLiteral("Il record in modifica non è stato salvato.")};
    m_filterText = filter;
    if (!m_filter.keepsEverything() && parsed->refines(m_filter)) {
        // A narrower search: only the rows shown now can stay, in the order they have.
        m_filter = *parsed;
        m_visible.removeIf([&](qsizetype row) { return !m_filter.matches(m_rows[row]); });
        m_position = -1;
    } else {
        applyFilterAndSort(*parsed, m_sort);
    }
    first();
    notifyReset();
    return {};
}

Status DataSet::setSort(const QString &sort)
{
    if (!isOpen()) {
        m_sortText = sort;
        return {};
    }
    Result<RowSort> parsed = RowSort::parse(sort, m_columns);
    if (!parsed)
        return parsed.error();
    if (!leaveEditing())
        return Error{QStringLiteral("Il record in modifica non è stato salvato.")};
    m_sortText = sort;
    const Bookmark current = bookmark();
    applyFilterAndSort(m_filter, *parsed);
    const qsizetype index = m_visible.indexOf(current);
    if (index >= 0)
        setPosition(int(index));
    else
        first();
    notifyReset();
    return {};
}

void DataSet::applyFilterAndSort(const RowFilter &filter, const RowSort &sort)
{
    m_filter = filter;
    m_sort = sort;
    m_visible.clear();
    m_visible.reserve(m_rows.size());
    const bool all = filter.keepsEverything();
    const auto scan = [&](qsizetype from, qsizetype to, QList<qsizetype> &kept) {
        for (qsizetype i = from; i < to; ++i) {
            if (!m_deleted[i] && (all || filter.matches(m_rows[i])))
                kept.append(i);
        }
    };
    // A long list is looked through by every core: it is what a keystroke in a search box
    // waits for. The filter only reads the rows.
    const qsizetype workers = all || m_rows.size() < 20000
                                  ? 1
                                  : std::clamp<qsizetype>(std::thread::hardware_concurrency(), 1, 8);
    if (workers == 1) {
        scan(0, m_rows.size(), m_visible);
    } else {
        std::vector<QList<qsizetype>> parts(static_cast<size_t>(workers));
        std::vector<std::thread> threads;
        const qsizetype slice = (m_rows.size() + workers - 1) / workers;
        for (qsizetype w = 1; w < workers; ++w) {
            threads.emplace_back([&, w] {
                scan(w * slice, std::min(m_rows.size(), (w + 1) * slice), parts[size_t(w)]);
            });
        }
        scan(0, std::min(m_rows.size(), slice), m_visible);
        for (std::thread &t : threads)
            t.join();
        for (size_t w = 1; w < parts.size(); ++w)
            m_visible.append(parts[w]);
    }
    if (!sort.isEmpty())
        sort.sort(m_visible, m_rows);
    m_position = -1;
}

Result<QString> DataSet::editableTable() const
{
    QString table;
    for (const Column &c : m_columns) {
        if (c.table.isEmpty())
            continue;
        if (table.isEmpty())
            table = c.table;
        else if (c.table.compare(table, Qt::CaseInsensitive) != 0)
            return Error{QStringLiteral("I dati di più tabelle non si possono modificare insieme.")};
    }
    if (table.isEmpty())
        return Error{QStringLiteral("Questi dati non si possono modificare.")};
    return table;
}

QList<int> DataSet::columnsOf(const QString &table) const
{
    QList<int> result;
    for (qsizetype i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].table.compare(table, Qt::CaseInsensitive) == 0)
            result.append(int(i));
    }
    return result;
}

Status DataSet::edit()
{
    if (!isOpen())
        return notOpen();
    if (m_state == State::Edit || m_state == State::Insert)
        return {};
    if (m_position < 0)
        return Error{QStringLiteral("Nessun record da modificare.")};
    Result<QString> table = editableTable();
    if (!table)
        return table.error();
    m_buffer = m_rows[m_visible[m_position]];
    m_changed = QList<bool>(m_columns.size(), false);
    setState(State::Edit);
    return {};
}

Status DataSet::append()
{
    if (!isOpen())
        return notOpen();
    Result<QString> table = editableTable();
    if (!table)
        return table.error();
    if (m_state == State::Edit || m_state == State::Insert)
        cancel();
    m_buffer = QVariantList(m_columns.size());
    m_changed = QList<bool>(m_columns.size(), false);
    setState(State::Insert);
    notifyCurrent();
    return {};
}

Status DataSet::setValue(QStringView column, const QVariant &value)
{
    const int c = columnIndex(column);
    if (c < 0)
        return unknownColumn(column);
    if (m_state == State::Browse) {
        if (Status editing = edit(); !editing)
            return editing;
    } else if (m_state == State::Inactive) {
        return notOpen();
    }
    m_buffer[c] = value.typeId() == QMetaType::QDateTime ? QVariant(toNaive(value.toDateTime())) : value;
    m_changed[c] = true;
    if (m_position >= 0 && m_state == State::Edit)
        notifyRow(m_position);
    return {};
}

void DataSet::cancel()
{
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    const bool inserting = m_state == State::Insert;
    m_buffer.clear();
    m_changed.clear();
    setState(State::Browse);
    if (inserting)
        notifyCurrent();
    else if (m_position >= 0)
        notifyRow(m_position);
}

Status DataSet::post()
{
    if (m_state != State::Edit && m_state != State::Insert)
        return {};
    Result<QString> table = editableTable();
    if (!table)
        return table.error();
    Result<QString> key = m_connection.keyColumn(*table);
    if (!key)
        return key.error();
    return m_state == State::Insert ? postInsert(*table, *key) : postUpdate(*table, *key);
}

Status DataSet::postUpdate(const QString &table, const QString &key)
{
    const Dialect &d = m_connection.dialect();
    const Bookmark row = m_visible[m_position];
    int keyColumn = -1;
    QStringList assignments;
    QStringList unchanged;
    QVariantList values;
    QVariantList originals;
    for (int c : columnsOf(table)) {
        const Column &column = m_columns[c];
        if (column.origin.compare(key, Qt::CaseInsensitive) == 0)
            keyColumn = c;
        if (!m_changed[c])
            continue;
        const QString name = d.quoteIdentifier(column.origin);
        assignments.append(name + QStringLiteral(" = ?"));
        values.append(boundValue(column, m_buffer[c]));
        // The row must still hold what it held when it was read, or another workstation
        // changed it in the meantime. Amounts were read rounded to four decimals: they are
        // compared the same way.
        const QString stored = column.kind == FieldKind::Currency ? QStringLiteral("ROUND(%1, 4)").arg(name) : name;
        unchanged.append(d.nullSafeEqual(stored, QStringLiteral("?")));
        originals.append(m_rows[row][c]);
    }
    if (keyColumn < 0)
        return Error{QStringLiteral("Manca la chiave %1 della tabella %2.").arg(key, table)};
    if (assignments.isEmpty()) {
        cancel();
        return {};
    }
    const QVariant keyValue = m_rows[row][keyColumn];
    const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ? AND %4")
                            .arg(d.quoteIdentifier(table), assignments.join(QStringLiteral(", ")),
                                 d.quoteIdentifier(key), unchanged.join(QStringLiteral(" AND ")));
    Result<RowSet> updated = m_connection.runNative(sql, values + QVariantList{keyValue} + originals);
    if (!updated)
        return updated.error();
    if (updated->rowsAffected == 0) {
        Result<RowSet> still = m_connection.runNative(
            QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ?").arg(d.quoteIdentifier(table), d.quoteIdentifier(key)),
            {keyValue});
        if (still && still->rows.isEmpty())
            return Error{QStringLiteral("Il record è stato eliminato da un'altra postazione."),
                         ErrorKind::DeletedElsewhere};
        return Error{QStringLiteral("Il record è stato modificato da un'altra postazione."),
                     ErrorKind::ChangedElsewhere};
    }
    m_rows[row] = m_buffer;
    m_buffer.clear();
    m_changed.clear();
    setState(State::Browse);
    notifyRow(m_position);
    return {};
}

Status DataSet::postInsert(const QString &table, const QString &key)
{
    const Dialect &d = m_connection.dialect();
    const QList<int> own = columnsOf(table);
    QStringList names;
    QStringList marks;
    QVariantList values;
    for (int c : own) {
        if (!m_changed[c] || !m_buffer[c].isValid())
            continue;
        names.append(d.quoteIdentifier(m_columns[c].origin));
        marks.append(QStringLiteral("?"));
        values.append(boundValue(m_columns[c], m_buffer[c]));
    }
    const QString sql = names.isEmpty()
                            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(d.quoteIdentifier(table))
                            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                  .arg(d.quoteIdentifier(table), names.join(QStringLiteral(", ")),
                                       marks.join(QStringLiteral(", ")));
    Result<RowSet> inserted = m_connection.runNative(sql, values);
    if (!inserted)
        return inserted.error();
    Result<RowSet> identity = m_connection.runNative(QStringLiteral("SELECT ") + d.lastIdentityExpression());
    if (!identity || identity->rows.isEmpty())
        return identity ? Error{QStringLiteral("Chiave del nuovo record non disponibile.")} : identity.error();
    const QVariant keyValue = identity->rows[0][0];

    // Read the stored row back: the key and the defaults the archive gave.
    QStringList selected;
    for (int c : own)
        selected.append(d.quoteIdentifier(m_columns[c].origin));
    Result<RowSet> stored = m_connection.runNative(
        QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
            .arg(selected.join(QStringLiteral(", ")), d.quoteIdentifier(table), d.quoteIdentifier(key)),
        {keyValue});
    if (stored && stored->rows.size() == 1) {
        for (qsizetype i = 0; i < own.size(); ++i)
            m_buffer[own[i]] = stored->rows[0][i];
    }
    m_rows.append(m_buffer);
    m_deleted.append(false);
    const int at = m_position < 0 ? int(m_visible.size()) : m_position + 1;
    m_visible.insert(at, m_rows.size() - 1);
    m_buffer.clear();
    m_changed.clear();
    setState(State::Browse);
    m_position = at;
    m_bof = m_eof = false;
    notifyReset();
    return {};
}

Status DataSet::remove()
{
    if (!isOpen())
        return notOpen();
    if (m_state == State::Insert) {
        cancel();
        return {};
    }
    cancel();
    if (m_position < 0)
        return Error{QStringLiteral("Nessun record da eliminare.")};
    Result<QString> table = editableTable();
    if (!table)
        return table.error();
    Result<QString> key = m_connection.keyColumn(*table);
    if (!key)
        return key.error();
    int keyColumn = -1;
    for (int c : columnsOf(*table)) {
        if (m_columns[c].origin.compare(*key, Qt::CaseInsensitive) == 0)
            keyColumn = c;
    }
    if (keyColumn < 0)
        return Error{QStringLiteral("Manca la chiave %1 della tabella %2.").arg(*key, *table)};
    const Bookmark row = m_visible[m_position];
    const Dialect &d = m_connection.dialect();
    Result<RowSet> deleted = m_connection.runNative(
        QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(d.quoteIdentifier(*table), d.quoteIdentifier(*key)),
        {m_rows[row][keyColumn]});
    if (!deleted)
        return deleted.error();
    m_deleted[row] = true;
    m_visible.removeAt(m_position);
    // The row that followed becomes current; after the last row, the new last one.
    const int next = std::min(m_position, int(m_visible.size()) - 1);
    m_position = next;
    m_bof = m_eof = m_visible.isEmpty();
    notifyReset();
    return {};
}

void DataSet::disableControls()
{
    ++m_disabledControls;
}

void DataSet::enableControls()
{
    if (m_disabledControls == 0 || --m_disabledControls > 0)
        return;
    if (m_pendingReset) {
        m_pendingReset = false;
        Q_EMIT reset();
        Q_EMIT currentChanged();
    }
}

void DataSet::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    if (!controlsDisabled())
        Q_EMIT stateChanged();
}

void DataSet::notifyReset()
{
    if (controlsDisabled()) {
        m_pendingReset = true;
        return;
    }
    Q_EMIT reset();
    Q_EMIT currentChanged();
}

void DataSet::notifyCurrent()
{
    if (controlsDisabled())
        m_pendingReset = true;
    else
        Q_EMIT currentChanged();
}

void DataSet::notifyRow(int visibleIndex)
{
    if (controlsDisabled())
        m_pendingReset = true;
    else
        Q_EMIT rowChanged(visibleIndex);
}

} // namespace db
