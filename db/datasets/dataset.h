#pragma once

#include "db/core/connection.h"
#include "db/core/result.h"
#include "db/core/rowset.h"
#include "db/datasets/rowfilter.h"
#include "db/datasets/rowsort.h"
#include "db/datasets/rowstore.h"

#include <QDateTime>
#include <QObject>

namespace db {

// The record set every window works on: the rows an SQL text selects, fetched whole, with a
// current row, a filter text and a sort text applied to the fetched rows (no new query), and
// editing of single-table selections. It never re-runs its query by itself.
class DataSet : public QObject
{
    Q_OBJECT

public:
    enum class State
    {
        Inactive,
        Browse,
        Edit,
        Insert
    };
    // Identifies a fetched row for as long as the data set stays open.
    using Bookmark = qsizetype;
    static constexpr Bookmark kNoBookmark = -1;

    explicit DataSet(Connection &connection, const QString &name = QString(),
                     QObject *parent = nullptr);

    Connection &connection() const { return m_connection; }

    // The SQL text, in the archive's dialect, and the values bound to its ? in order. Takes
    // effect at the next open().
    void setSql(const QString &sql, const QVariantList &values = {})
    {
        m_sql = sql;
        m_values = values;
    }
    QString sql() const { return m_sql; }
    QVariantList boundValues() const { return m_values; }

    Status open();
    void close();
    // Runs the same SQL again; the filter and sort texts stay; the first row becomes current.
    Status requery();
    // Reads again the one row whose `keyColumn` holds `key` (the SQL text limited to it) and
    // puts it where the query's ORDER BY and the sort text put it: a row the archive no longer
    // has leaves, a new one comes in, the current row stays current. Bookmarks stay valid.
    // When the query's order cannot be told from its text, runs the whole query again instead.
    Status refreshRow(QStringView keyColumn, const QVariant &key);
    // The same for every row whose `column` holds `value`, in the archive or in the data set
    // (the appointments of one contact, say).
    Status refreshRows(QStringView keyColumn, QStringView column, const QVariant &value);
    bool isOpen() const { return m_state != State::Inactive; }
    State state() const { return m_state; }

    const QList<Column> &columns() const { return m_columns; }
    int columnIndex(QStringView name) const;

    // Navigation over the visible rows. Leaving a row being edited writes it first; when that
    // fails the data set stays where it is (see postFailed).
    int recordCount() const { return int(m_visible.size()); }
    bool isEmpty() const { return m_visible.isEmpty(); }
    bool bof() const { return m_bof; }
    bool eof() const { return m_eof; }
    void first();
    void last();
    void next();
    void prior();
    // Index of the current row among the visible ones; -1 when there is none.
    int position() const { return m_position; }
    void setPosition(int visibleIndex);
    // Makes current the first visible row whose column equals `value` (texts regardless of case).
    Result<bool> locate(QStringView column, const QVariant &value);

    Bookmark bookmark() const;
    bool gotoBookmark(Bookmark bookmark);
    bool isBookmarkValid(Bookmark bookmark) const;
    Bookmark bookmarkAt(int visibleIndex) const;

    // The current row's values (the edit buffer while editing). Unknown columns read as null.
    QVariant value(QStringView column) const;
    QVariant valueAt(int visibleIndex, int column) const;
    // A value of the row with this bookmark, without moving to it.
    QVariant valueOf(Bookmark bookmark, QStringView column) const;
    bool isNull(QStringView column) const { return !value(column).isValid(); }
    QString asString(QStringView column) const;
    qint64 asInteger(QStringView column) const;
    double asFloat(QStringView column) const;
    bool asBoolean(QStringView column) const;
    QDateTime asDateTime(QStringView column) const;
    QByteArray asBytes(QStringView column) const;

    Status setFilter(const QString &filter);
    QString filter() const { return m_filterText; }
    Status setSort(const QString &sort);
    QString sort() const { return m_sortText; }

    // Editing (single-table selections only). setValue() on a browsed row starts editing it.
    Status edit();
    Status append();
    Status setValue(QStringView column, const QVariant &value);
    // Writes the edit buffer to the archive with bound values. On failure the buffer and the
    // editing state stay, so nothing typed is lost.
    Status post();
    void cancel();
    // Deletes the current row from the archive and the data set.
    Status remove();

    // While disabled, the views bound to the data set are not told about changes; enabling
    // them again tells them once.
    void disableControls();
    void enableControls();
    bool controlsDisabled() const { return m_disabledControls > 0; }

Q_SIGNALS:
    void reset();                      // the rows, their order or the columns changed
    void currentChanged();             // another row became current
    void rowChanged(int visibleIndex); // the values of one visible row changed
    void stateChanged();
    // A row being edited could not be written when the data set had to leave it (moving to
    // another row, filtering, sorting): the data set stayed on it, still editing.
    void postFailed(const QString &message);

private:
    bool leaveEditing();
    void applyFilterAndSort(const RowFilter &filter, const RowSort &sort);
    Result<QString> editableTable() const;
    Status postUpdate(const QString &table, const QString &key);
    Status postInsert(const QString &table, const QString &key);
    QList<int> columnsOf(const QString &table) const;
    bool editing() const { return m_state == State::Edit || m_state == State::Insert; }
    Result<RowSort> queryOrder(int keyColumn) const;
    // Where `row` goes in `order`, sorted by `first` and then by `then`.
    qsizetype placeOf(qsizetype row, const QList<qsizetype> &order, const RowSort &first,
                      const RowSort &then) const;
    void setState(State state);
    void notifyReset();
    void notifyCurrent();
    void notifyRow(int visibleIndex);

    Connection &m_connection;
    QString m_name;
    QString m_sql;
    QVariantList m_values;
    State m_state = State::Inactive;
    QList<Column> m_columns;
    RowStore m_rows; // every fetched row, by bookmark
    QList<bool> m_deleted;
    QList<qsizetype> m_order;   // bookmarks of the rows not deleted, in the query's order
    QList<qsizetype> m_visible; // bookmarks of the visible rows, in order
    int m_position = -1;
    bool m_bof = true;
    bool m_eof = true;
    QString m_filterText;
    QString m_sortText;
    RowFilter m_filter;
    RowSort m_sort;
    QVariantList m_buffer;
    QList<bool> m_changed;
    int m_disabledControls = 0;
    bool m_pendingReset = false;
};

} // namespace db
