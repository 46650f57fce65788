#pragma once

#include "db/core/dialect.h"
#include "db/core/result.h"
#include "db/core/rowset.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

namespace db {

// Takes the rows of a statement one at a time, as they are read.
class RowReceiver
{
public:
    virtual ~RowReceiver() = default;
    virtual void columns(const QList<Column> &columns) = 0;
    // `values` is valid during the call only.
    virtual void row(const QVariantList &values) = 0;
};

// The one connection to an archive. The program's own SQL texts (in the archive's dialect,
// as the windows write them) go through run(); statements the code builds itself, with
// values bound in place of ?, go through runNative().
class Connection
{
public:
    virtual ~Connection() = default;

    Result<RowSet> run(QStringView programSql);
    // The same with `values` bound, in order, to the ? of the statement: a value from outside
    // the code (a user, the host, a file) goes into a statement only this way.
    Result<RowSet> run(QStringView programSql, const QVariantList &values);
    // The engine's text for one program statement, as run() would send it.
    Result<QString> translate(QStringView programSql) const;

    virtual Result<RowSet> runNative(const QString &sql, const QVariantList &values = {}) = 0;

    // The rows of a program statement handed over one at a time, never all held as values at
    // once: for a long selection read into a store of its own.
    Status stream(QStringView programSql, const QVariantList &values, RowReceiver &receiver);
    // The engine's way to do it; by default the rows of runNative() handed over in turn.
    virtual Status streamNative(const QString &sql, const QVariantList &values,
                                RowReceiver &receiver);

    // The name of the key column of `table`.
    virtual Result<QString> keyColumn(const QString &table) = 0;
    // The tables of the archive, by name, in the engine's spelling.
    virtual Result<QStringList> tableNames() = 0;

    virtual Status begin() = 0;
    // A transaction that only reads and sees the archive as it was at its start throughout,
    // whatever other workstations save meanwhile. An engine whose transactions already do so
    // keeps this one.
    virtual Status beginReading() { return begin(); }
    // A commit that fails rolls the transaction back before it returns, so that its locks
    // never outlive the failure (the message may stay on screen for a long time).
    virtual Status commit() = 0;
    virtual Status rollback() = 0;

    virtual const Dialect &dialect() const = 0;
    // Gives back the memory the engine keeps for what it read and can read again (its page
    // cache): after a long list has been loaded. Nothing by default.
    virtual void releaseMemory() {}
    // Where the archive is, for messages: a file path or a server address.
    virtual QString location() const = 0;
};

// The key the archive gave the row `connection` inserted last.
Result<qint64> lastInsertedKey(Connection &connection);

// Runs a series of statements in one transaction: either all of them take effect or none.
class Transaction
{
public:
    enum class Kind
    {
        Writing,
        Reading
    };
    explicit Transaction(Connection &connection, Kind kind = Kind::Writing);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    const Status &started() const { return m_started; }
    Status commit();

private:
    Connection &m_connection;
    Status m_started;
    bool m_open = false;
};

} // namespace db
