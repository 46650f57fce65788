#include "db/datasets/dataset.h"

#include "db/core/datetimes.h"
#include "db/datasets/rowwriter.h"
#include "db/sql/sqltokenizer.h"

#include <QStringList>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <numeric>

#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <thread>
#include <vector>

namespace db {

namespace {

Error notOpen()
{
    return Error{QStringLiteral("Il data set non è aperto.")};
}

// What is written for a value: yes/no never null, amounts to four decimals as they are read.
Error unknownColumn(QStringView column)
{
    return Error{QStringLiteral("Colonna sconosciuta: %1").arg(column.toString())};
}

Error notSaved()
{
    return Error{QStringLiteral("Il record in modifica non è stato salvato.")};
}

// Fills a store with the rows of a statement as they are read.
class StoreLoader final : public RowReceiver
{
public:
    QList<Column> columnList;
    RowStore rows;

    void columns(const QList<Column> &columns) override
    {
        columnList = columns;
        rows = RowStore(int(columns.size()));
    }
    void row(const QVariantList &values) override { rows.append(values); }
};

// A list that every core looks through, each a slice of `order`; the pieces are joined in
// order. Below `threshold` rows one core does it all: starting threads would cost more.
template <typename Keep>
QList<qsizetype> keptInParallel(const QList<qsizetype> &order, qsizetype threshold, Keep keep)
{
    const auto scan = [&](qsizetype from, qsizetype to, QList<qsizetype> &kept) {
        for (qsizetype i = from; i < to; ++i) {
            if (keep(order[i]))
                kept.append(order[i]);
        }
    };
    QList<qsizetype> kept;
    const qsizetype workers =
        order.size() < threshold ? 1
                                 : std::clamp<qsizetype>(std::thread::hardware_concurrency(), 1, 8);
    if (workers == 1) {
        kept.reserve(order.size());
        scan(0, order.size(), kept);
        return kept;
    }
    std::vector<QList<qsizetype>> parts(static_cast<size_t>(workers));
    std::vector<std::thread> threads;
    const qsizetype slice = (order.size() + workers - 1) / workers;
    for (qsizetype w = 1; w < workers; ++w) {
        threads.emplace_back([&, w] {
            scan(std::min(order.size(), w * slice), std::min(order.size(), (w + 1) * slice),
                 parts[size_t(w)]);
        });
    }
    scan(0, std::min(order.size(), slice), parts[0]);
    for (std::thread &t : threads)
        t.join();
    qsizetype total = 0;
    for (const QList<qsizetype> &part : parts)
        total += part.size();
    kept.reserve(total);
    for (const QList<qsizetype> &part : parts)
        kept.append(part);
    return kept;
}

// Rows from which a filter is worth splitting among the cores.
constexpr qsizetype kParallelRows = 20000;

// Rows from which a load leaves enough memory behind to give back.
constexpr qsizetype kReleaseRows = 10000;
constexpr int kTrimDelayMs = 1000;

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
    StoreLoader loader;
    if (Status read = m_connection.stream(m_sql, m_values, loader); !read)
        return read;
    m_columns = std::move(loader.columnList);
    m_rows = std::move(loader.rows);
    m_rows.squeeze();
    // A long list read many pages the engine keeps in its cache, and grew and shrank its
    // columns: the rows are held here now, so both go back to the system. The allocator's share
    // takes a few tens of milliseconds: a moment after the window has shown the rows, on a thread
    // of the pool.
    if (m_rows.size() >= kReleaseRows) {
        m_connection.releaseMemory();
#ifdef __GLIBC__
        QTimer::singleShot(kTrimDelayMs, this,
                           [] { QThreadPool::globalInstance()->start([] { malloc_trim(0); }); });
#endif
    }
    m_deleted = QList<bool>(m_rows.size(), false);
    m_order.resize(m_rows.size());
    std::iota(m_order.begin(), m_order.end(), qsizetype(0));
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
    m_rows = RowStore();
    m_deleted.clear();
    m_order.clear();
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
        return notSaved();
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

namespace {

// Where the ORDER BY items of the outermost query begin in `sql`; -1 when it has none. The
// statement is the program's SQL, read by its tokenizer: nothing inside a literal, a quoted
// name or a comment counts.
qsizetype orderByItems(const QString &sql)
{
    const Tokens t = tokenizeSql(sql);
    qsizetype found = -1;
    qsizetype offset = 0;
    int depth = 0;
    for (qsizetype i = 0; i < t.size(); offset += t[i].text.size(), ++i) {
        const Token &token = t[i];
        if (token.kind == TokenKind::Unterminated)
            return -1;
        if (token.isPunct(u"(")) {
            ++depth;
        } else if (token.isPunct(u")")) {
            --depth;
        } else if (depth == 0 && token.isWord(u"ORDER")) {
            const qsizetype by = nextSignificant(t, i);
            if (wordAt(t, by, u"BY"))
                found = offset + joined(t, i, by + 1).size();
        }
    }
    return found;
}

// The SQL text without the semicolon and spaces that may end it.
QString withoutEnd(const QString &sql)
{
    qsizetype end = sql.size();
    while (end > 0 && (sql[end - 1].isSpace() || sql[end - 1] == u';'))
        --end;
    return sql.left(end);
}

} // namespace

Result<RowSort> DataSet::queryOrder(int keyColumn) const
{
    // The query's own ORDER BY, when it names plain columns of the selection; rows it leaves
    // equal come in the order of their key, as an index gives them.
    const QString sql = withoutEnd(m_sql);
    const qsizetype items = orderByItems(sql);
    QStringList keys;
    const auto cannot = [] {
        return Error{QStringLiteral("Ordine della selezione non riconosciuto.")};
    };
    if (items >= 0) {
        for (const QString &item : sql.mid(items).split(u',')) {
            const QStringList words = item.simplified().split(u' ', Qt::SkipEmptyParts);
            if (words.isEmpty() || words.size() > 2)
                return cannot();
            if (words.size() == 2 && words[1].compare(u"asc", Qt::CaseInsensitive) != 0 &&
                words[1].compare(u"desc", Qt::CaseInsensitive) != 0)
                return cannot();
            const qsizetype dot = words[0].lastIndexOf(u'.');
            const QString table = dot < 0 ? QString() : words[0].left(dot);
            const QString name = words[0].mid(dot + 1);
            int column = -1;
            for (qsizetype c = 0; c < m_columns.size() && column < 0; ++c) {
                const Column &candidate = m_columns[c];
                if (!table.isEmpty() && candidate.table.compare(table, Qt::CaseInsensitive) == 0 &&
                    candidate.origin.compare(name, Qt::CaseInsensitive) == 0)
                    column = int(c);
            }
            if (column < 0)
                column = columnIndex(name);
            if (column < 0)
                return cannot();
            keys.append(QStringLiteral("[%1] %2").arg(m_columns[column].name, words.value(1)));
        }
    }
    keys.append(QStringLiteral("[%1]").arg(m_columns[keyColumn].name));
    return RowSort::parse(keys.join(u','), m_columns);
}

qsizetype DataSet::placeOf(qsizetype row, const QList<qsizetype> &order, const RowSort &first,
                           const RowSort &then) const
{
    // After the rows it ties with, as a stable sort leaves it.
    const auto before = [&](qsizetype other) {
        const int c = first.compare(m_rows, row, other);
        return (c != 0 ? c : then.compare(m_rows, row, other)) < 0;
    };
    qsizetype low = 0;
    qsizetype high = order.size();
    while (low < high) {
        const qsizetype middle = low + (high - low) / 2;
        if (before(order[middle]))
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

Status DataSet::refreshRow(QStringView keyColumn, const QVariant &key)
{
    return refreshRows(keyColumn, keyColumn, key);
}

Status DataSet::refreshRows(QStringView keyColumn, QStringView column, const QVariant &value)
{
    if (!isOpen())
        return notOpen();
    const int k = columnIndex(keyColumn);
    if (k < 0)
        return unknownColumn(keyColumn);
    const int c = columnIndex(column);
    if (c < 0)
        return unknownColumn(column);
    if (!leaveEditing())
        return notSaved();
    const auto rereadAll = [&]() -> Status {
        const QVariant current = this->value(keyColumn);
        if (Status read = requery(); !read)
            return read;
        if (current.isValid())
            (void)locate(keyColumn, current);
        return {};
    };
    const Result<RowSort> order = queryOrder(k);
    const auto plain = [](const QString &name) {
        return std::all_of(name.begin(), name.end(),
                           [](QChar ch) { return ch.isLetterOrNumber() || ch == u'_'; });
    };
    if (!order || !plain(m_columns[k].name) || !plain(m_columns[c].name))
        return rereadAll();
    const auto readWhere = [&](int where, const QVariant &wanted) {
        return m_connection.run(
            QStringLiteral("SELECT * FROM (%1) AS ReadAgain WHERE ReadAgain.%2 = ?")
                .arg(withoutEnd(m_sql), m_columns[where].name),
            m_values + QVariantList{wanted});
    };
    Result<RowSet> fetched = readWhere(c, value);
    if (!fetched)
        return fetched.error();
    if (fetched->columns.size() != m_columns.size() || (c == k && fetched->rows.size() > 1))
        return rereadAll();

    const auto holds = [&](qsizetype row, int in, const QVariant &wanted) {
        const bool integral =
            wanted.typeId() == QMetaType::LongLong || wanted.typeId() == QMetaType::Int;
        if (integral && m_rows.type(row, in) == RowStore::Type::Integer)
            return m_rows.integer(row, in) == wanted.toLongLong();
        return wanted.isValid() && compareValues(m_rows.value(row, in), wanted) == 0;
    };
    const auto storedWith = [&](const QVariant &key) {
        for (qsizetype row : std::as_const(m_order)) {
            if (holds(row, k, key))
                return row;
        }
        return kNoBookmark;
    };
    // Takes a row out of both orders, then puts it back read again, or leaves it out deleted.
    const auto place = [&](Bookmark row, const QVariantList *values) {
        if (row != kNoBookmark) {
            m_order.removeOne(row);
            m_visible.removeOne(row);
        }
        if (!values) {
            if (row != kNoBookmark)
                m_deleted[row] = true;
            return;
        }
        if (row == kNoBookmark) {
            m_rows.append(*values);
            m_deleted.append(false);
            row = m_rows.size() - 1;
        } else {
            m_rows.replace(row, *values);
        }
        m_order.insert(placeOf(row, m_order, RowSort(), *order), row);
        if (m_filter.matches(m_rows, row))
            m_visible.insert(placeOf(row, m_visible, m_sort, *order), row);
    };

    // The rows that held the value here but no longer do in the archive are read by key.
    QList<qsizetype> stale;
    if (c == k) {
        if (const Bookmark row = storedWith(value); row != kNoBookmark)
            stale.append(row);
    } else {
        for (qsizetype row : std::as_const(m_order)) {
            if (holds(row, c, value))
                stale.append(row);
        }
    }
    const Bookmark current = bookmark();
    const int position = m_position;
    for (const QVariantList &values : std::as_const(fetched->rows)) {
        const Bookmark row = storedWith(values.value(k));
        stale.removeOne(row);
        place(row, &values);
    }
    for (Bookmark row : std::as_const(stale)) {
        if (c == k) {
            place(row, nullptr); // read by its key just now: the archive no longer has it
            continue;
        }
        Result<RowSet> again = readWhere(k, m_rows.value(row, k));
        if (!again)
            return again.error();
        place(row, again->rows.size() == 1 ? &again->rows[0] : nullptr);
    }
    // The current row stays current; when it is one that left, the row that followed it.
    const qsizetype kept = current == kNoBookmark ? -1 : m_visible.indexOf(current);
    m_position = kept >= 0 ? int(kept) : std::min(position, int(m_visible.size()) - 1);
    m_bof = m_eof = m_visible.isEmpty();
    notifyReset();
    return {};
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
    const QString wanted = text ? value.toString() : QString();
    for (qsizetype i = 0; i < m_visible.size(); ++i) {
        const qsizetype row = m_visible[i];
        bool equal;
        if (text && m_rows.type(row, c) == RowStore::Type::Text) {
            equal = m_rows.text(row, c).compare(wanted, Qt::CaseInsensitive) == 0;
        } else {
            const QVariant v = m_rows.value(row, c);
            equal = text ? (v.isValid() && v.toString().compare(wanted, Qt::CaseInsensitive) == 0)
                         : compareValues(v, value) == 0 && v.isValid() == value.isValid();
        }
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
    return visibleIndex >= 0 && visibleIndex < m_visible.size() ? m_visible[visibleIndex]
                                                                : kNoBookmark;
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

QVariant DataSet::value(QStringView column) const
{
    const int c = columnIndex(column);
    if (c < 0)
        return {};
    if (editing())
        return m_buffer[c];
    if (m_position < 0 || m_position >= m_visible.size())
        return {};
    return m_rows.value(m_visible[m_position], c);
}

QVariant DataSet::valueAt(int visibleIndex, int column) const
{
    if (visibleIndex < 0 || visibleIndex >= m_visible.size() || column < 0 ||
        column >= m_columns.size())
        return {};
    // A row being added is not among the visible ones until it is written: the row it was
    // added on keeps showing its own values.
    if (visibleIndex == m_position && m_state == State::Edit)
        return m_buffer[column];
    return m_rows.value(m_visible[visibleIndex], column);
}

QVariant DataSet::valueOf(Bookmark bookmark, QStringView column) const
{
    const int c = columnIndex(column);
    if (!isBookmarkValid(bookmark) || c < 0)
        return {};
    return m_rows.value(bookmark, c);
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
        return notSaved();
    m_filterText = filter;
    if (!m_filter.keepsEverything() && parsed->refines(m_filter)) {
        // A narrower search: only the rows shown now can stay, in the order they have.
        m_filter = *parsed;
        m_visible = keptInParallel(m_visible, kParallelRows,
                                   [&](qsizetype row) { return m_filter.matches(m_rows, row); });
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
        return notSaved();
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
    // A long list is looked through by every core: it is what a keystroke in a search box
    // waits for. The filter only reads the rows.
    if (filter.keepsEverything())
        m_visible = m_order;
    else
        m_visible = keptInParallel(m_order, kParallelRows,
                                   [&](qsizetype row) { return filter.matches(m_rows, row); });
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
            return Error{
                QStringLiteral("I dati di più tabelle non si possono modificare insieme.")};
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
    m_buffer = m_rows.row(m_visible[m_position]);
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
    m_buffer[c] =
        value.typeId() == QMetaType::QDateTime ? QVariant(toNaive(value.toDateTime())) : value;
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
    const Bookmark row = m_visible[m_position];
    int keyColumn = -1;
    QList<RowWriter::Cell> changes;
    for (int c : columnsOf(table)) {
        const Column &column = m_columns[c];
        if (column.origin.compare(key, Qt::CaseInsensitive) == 0)
            keyColumn = c;
        if (m_changed[c])
            changes.append({&column, m_buffer[c], m_rows.value(row, c)});
    }
    if (keyColumn < 0)
        return Error{QStringLiteral("Manca la chiave %1 della tabella %2.").arg(key, table)};
    if (changes.isEmpty()) {
        cancel();
        return {};
    }
    if (Status updated =
            RowWriter(m_connection, table, key).update(m_rows.value(row, keyColumn), changes);
        !updated)
        return updated;
    m_rows.replace(row, m_buffer);
    m_buffer.clear();
    m_changed.clear();
    setState(State::Browse);
    notifyRow(m_position);
    return {};
}

Status DataSet::postInsert(const QString &table, const QString &key)
{
    const QList<int> own = columnsOf(table);
    QList<RowWriter::Cell> values;
    QList<const Column *> readBack;
    for (int c : own) {
        readBack.append(&m_columns[c]);
        if (m_changed[c] && m_buffer[c].isValid())
            values.append({&m_columns[c], m_buffer[c], {}});
    }
    Result<QVariantList> stored = RowWriter(m_connection, table, key).insert(values, readBack);
    if (!stored)
        return stored.error();
    for (qsizetype i = 0; i < own.size() && i < stored->size(); ++i)
        m_buffer[own[i]] = stored->at(i);
    m_rows.append(m_buffer);
    m_deleted.append(false);
    m_order.append(m_rows.size() - 1);
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
    if (Status deleted = RowWriter(m_connection, *table, *key).remove(m_rows.value(row, keyColumn));
        !deleted)
        return deleted;
    m_deleted[row] = true;
    m_order.removeOne(row);
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
