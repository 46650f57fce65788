#include "db/core/archivedriver.h"

namespace db {

QString ArchiveDriver::backupAdvice(const QString & /*location*/, const QString & /*copy*/,
                                    bool /*restoring*/) const
{
    return QStringLiteral("Le copie di sicurezza di questo archivio non si fanno dal programma.");
}

Status ArchiveDriver::backup(const QString &archive, const QString &copy) const
{
    return Error{backupAdvice(archive, copy, false)};
}

Status ArchiveDriver::restore(const QString &copy, const QString &archive) const
{
    return Error{backupAdvice(archive, copy, true)};
}

Status ArchiveDriver::restoreRefusal(const QString &copy, const QString &archive) const
{
    return Error{backupAdvice(archive, copy, true)};
}

Result<QString> ArchiveDriver::copyInto(Connection & /*source*/, const QString &location,
                                        const ArchiveBuilder & /*createTables*/,
                                        const TableCopied & /*copied*/) const
{
    return Error{QStringLiteral("Un archivio non si copia in %1.").arg(location)};
}

} // namespace db
