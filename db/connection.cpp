#include "db/connection.h"

#include "db/sqltranslation.h"

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

Transaction::Transaction(Connection &connection)
    : m_connection(connection), m_started(connection.begin())
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
        return m_started.ok() ? Status(Error{QStringLiteral("Transazione già chiusa.")}) : m_started;
    m_open = false;
    return m_connection.commit();
}

} // namespace db
