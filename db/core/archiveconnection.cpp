#include "db/core/archiveconnection.h"

#include "db/core/archive.h"
#include "db/core/enginefunctions.h"

namespace db {

namespace {

Error notOpen()
{
    return Error{QStringLiteral("L'archivio non è aperto.")};
}

} // namespace

Status ArchiveConnection::open(const QString &location)
{
    close();
    auto opened = openArchiveInUse(location);
    if (!opened)
        return opened.error();
    m_archive = std::move(*opened);
    m_location = location;
    return {};
}

void ArchiveConnection::close()
{
    m_archive.reset();
}

Result<RowSet> ArchiveConnection::runNative(const QString &sql, const QVariantList &values)
{
    return m_archive ? m_archive->runNative(sql, values) : Result<RowSet>(notOpen());
}

Status ArchiveConnection::streamNative(const QString &sql, const QVariantList &values,
                                       RowReceiver &receiver)
{
    return m_archive ? m_archive->streamNative(sql, values, receiver) : Status(notOpen());
}

Result<QString> ArchiveConnection::keyColumn(const QString &table)
{
    return m_archive ? m_archive->keyColumn(table) : Result<QString>(notOpen());
}

Result<QStringList> ArchiveConnection::tableNames()
{
    return m_archive ? m_archive->tableNames() : Result<QStringList>(notOpen());
}

Status ArchiveConnection::beginReading()
{
    return m_archive ? m_archive->beginReading() : Status(notOpen());
}

Status ArchiveConnection::begin()
{
    return m_archive ? m_archive->begin() : Status(notOpen());
}

Status ArchiveConnection::commit()
{
    return m_archive ? m_archive->commit() : Status(notOpen());
}

Status ArchiveConnection::rollback()
{
    return m_archive ? m_archive->rollback() : Status(notOpen());
}

void ArchiveConnection::releaseMemory()
{
    if (m_archive)
        m_archive->releaseMemory();
}

const Dialect &ArchiveConnection::dialect() const
{
    return m_archive ? m_archive->dialect() : fileDialect();
}

QString ArchiveConnection::location() const
{
    return m_location;
}

} // namespace db
