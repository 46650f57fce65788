#pragma once

#include "db/core/archive.h"
#include "db/core/connection.h"
#include "db/postgres/pgdialect.h"

#include <QHash>

#include <memory>
#include <optional>

typedef struct pg_conn PGconn;
typedef struct pg_result PGresult;

namespace db {

// An archive in a PostgreSQL database.
class PgConnection final : public Connection
{
public:
    enum class Mode
    {
        Existing,
        CreateNew
    };

    // Existing: the database must hold an archive. CreateNew: the database must hold no tables;
    // the collations and functions the program needs are put in place.
    static Result<std::unique_ptr<PgConnection>> open(const QString &location, Mode mode);
    ~PgConnection() override;

    // Who asks the user for the password of a server that wants one ~/.pgpass does not hold.
    static void setPasswordPrompt(PasswordPrompt prompt);

    Result<RowSet> runNative(const QString &sql, const QVariantList &values = {}) override;
    Status streamNative(const QString &sql, const QVariantList &values,
                        RowReceiver &receiver) override;
    Result<QString> keyColumn(const QString &table) override;
    Status begin() override;
    Status beginReading() override;
    Status commit() override;
    Status rollback() override;
    const Dialect &dialect() const override { return m_dialect; }
    QString location() const override { return m_server; }

    // From now on only single queries run, each in a transaction that may only read.
    void allowQueriesOnly();

    // Adds rows to `table` in one stream (the server's COPY), much faster than INSERTs.
    // `columns` are the table's column names, each row's values in that order.
    Status copyRows(const QString &table, const QStringList &columns,
                    const QList<QVariantList> &rows);

    // Moves each counter past the highest key its table holds (after rows were copied in).
    Status resetCounters();
    // The tables of the archive, by their names on the server.
    Result<QStringList> tableNames() override;

private:
    struct TableColumns
    {
        QString table;
        QHash<int, QString> columns;   // by column number
        QHash<int, QString> spellings; // as the program's CREATE TABLE wrote them
    };
    struct Prepared
    {
        QByteArray sql; // with $1, $2... in place of ?
        int parameters = 0;
        QHash<QString, QString> spellings; // the names as the statement writes them, by lower case
        bool changesTables = false;
        QString table; // the table a CREATE TABLE or ALTER TABLE names
        bool readsClock = false;
    };

    explicit PgConnection(PGconn *handle);
    const Prepared &prepared(const QString &sql);
    // The statement for `sql`, once the connection is there and `values` fit it.
    Result<const Prepared *> ready(const QString &sql, const QVariantList &values);
    QList<Column> columnsOf(const Prepared &statement, const PGresult *result, bool describe,
                            QList<unsigned int> *types);
    // describe: learn the table and column each result column comes from.
    Result<RowSet> execute(const Prepared &statement, const QVariantList &values,
                           bool describe = true);
    Status ensureConnected();
    Status syncClock();
    Status simple(const char *sql);
    Error resultError(PGresult *result) const;
    // The error of a statement that failed, noting a transaction the failure cut off.
    Error statementError(PGresult *result, bool inTransaction);
    Error lostError() const;
    const TableColumns *tableColumns(unsigned int oid);
    Status rememberSpellings(const Prepared &statement);

    PGconn *m_db;
    QString m_server;
    PgDialect m_dialect;
    QHash<QString, Prepared> m_prepared;
    QHash<unsigned int, TableColumns> m_tables;
    QHash<QString, QString> m_keys;
    QHash<QString, QString> m_spellings; // every name seen, as first written
    QString m_clockSent;
    bool m_queriesOnly = false;
    bool m_lostInTransaction = false;
};

} // namespace db
