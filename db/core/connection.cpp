#include "db/core/connection.h"

#include "db/sql/sqltranslation.h"

namespace db {

Result<QString> Connection::translate(QStringView programSql) const
{
    return translateSql(programSql, dialect());
}

Result<RowSet> Connection::run(QStringView programSql)
{
    return run(programSql, {});
}

Result<RowSet> Connection::run(QStringView programSql, const QVariantList &values)
{
    Result<QString> sql = translate(programSql);
    if (!sql)
        return sql.error();
    return runNative(*sql, values);
}

Status Connection::stream(QStringView programSql, const QVariantList &values, RowReceiver &receiver)
{
    Result<QString> sql = translate(programSql);
    if (!sql)
        return sql.error();
    return streamNative(*sql, values, receiver);
}

Status Connection::streamNative(const QString &sql, const QVariantList &values,
                                RowReceiver &receiver)
{
    Result<RowSet> fetched = runNative(sql, values);
    if (!fetched)
        return fetched.error();
    receiver.columns(fetched->columns);
    for (const QVariantList &row : std::as_const(fetched->rows))
        receiver.row(row);
    return {};
}

Result<qint64> lastInsertedKey(Connection &connection)
{
    const Result<RowSet> identity = connection.runNative(
        QStringLiteral("SELECT ") + connection.dialect().lastIdentityExpression());
    if (!identity)
        return identity.error();
    if (identity->rows.isEmpty())
        return Error{QStringLiteral("Manca la chiave della riga aggiunta.")};
    return identity->rows.first().value(0).toLongLong();
}

Transaction::Transaction(Connection &connection, Kind kind)
    : m_connection(connection),
      m_started(kind == Kind::Reading ? connection.beginReading() : connection.begin())
{
    m_open = m_started.ok();
}

Transaction::~Transaction()
{
    if (m_open)
        (void)m_connection.rollback();
}

Status Transaction::commit()
{
    if (!m_open)
        return m_started.ok() ? Status(Error{QStringLiteral("Transazione già chiusa.")})
                              : m_started;
    m_open = false;
    return m_connection.commit();
}

} // namespace db
