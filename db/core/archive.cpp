#include "db/core/archive.h"

#include "db/core/archivedriver.h"
#include "db/postgres/pgdriver.h"
#include "db/sqlite/sqlitedriver.h"

namespace db {

namespace {

const PgDriver kServer;
const SqliteDriver kFile;
const ArchiveDriver *const kDrivers[] = {&kServer, &kFile};

// The engine of the archive at `location`: an address of a kind no engine knows ("mysql://...")
// is refused here rather than taken for a file name.
Result<const ArchiveDriver *> driverFor(const QString &location)
{
    for (const ArchiveDriver *driver : kDrivers) {
        if (driver->handles(location))
            return driver;
    }
    return Error{QStringLiteral("Tipo di archivio sconosciuto: %1").arg(location.trimmed())};
}

} // namespace

bool isServerLocation(const QString &location)
{
    Result<const ArchiveDriver *> driver = driverFor(location);
    return driver && (*driver)->isServer();
}

void setPasswordPrompt(PasswordPrompt prompt)
{
    for (const ArchiveDriver *driver : kDrivers)
        driver->setPasswordPrompt(prompt);
}

Result<std::unique_ptr<Connection>> openArchive(const QString &location)
{
    Result<const ArchiveDriver *> driver = driverFor(location);
    if (!driver)
        return driver.error();
    return (*driver)->open(location, ArchiveDriver::Access::ReadWrite);
}

Result<std::unique_ptr<Connection>> openArchiveInUse(const QString &location)
{
    Result<const ArchiveDriver *> driver = driverFor(location);
    if (!driver)
        return driver.error();
    return (*driver)->open(location, ArchiveDriver::Access::InUse);
}

Result<std::unique_ptr<Connection>> openArchiveToRead(const QString &location)
{
    Result<const ArchiveDriver *> driver = driverFor(location);
    if (!driver)
        return driver.error();
    return (*driver)->open(location, ArchiveDriver::Access::QueriesOnly);
}

Status createArchive(const QString &location, const ArchiveBuilder &build)
{
    Result<const ArchiveDriver *> driver = driverFor(location);
    if (!driver)
        return driver.error();
    return (*driver)->create(location, build);
}

QString backupAdvice(const QString &location, const QString &copy, bool restoring)
{
    Result<const ArchiveDriver *> driver = driverFor(location);
    return driver ? (*driver)->backupAdvice(location, copy, restoring) : QString();
}

Status backupArchive(const QString &archive, const QString &copyPath)
{
    Result<const ArchiveDriver *> driver = driverFor(archive);
    if (!driver)
        return driver.error();
    return (*driver)->backup(archive, copyPath);
}

Status restoreArchive(const QString &copyPath, const QString &archive)
{
    Result<const ArchiveDriver *> driver = driverFor(archive);
    if (!driver)
        return driver.error();
    return (*driver)->restore(copyPath, archive);
}

Status restoreRefusal(const QString &copyPath, const QString &archive)
{
    Result<const ArchiveDriver *> driver = driverFor(archive);
    if (!driver)
        return driver.error();
    return (*driver)->restoreRefusal(copyPath, archive);
}

Result<QString> copyArchive(const QString &source, const QString &target,
                            const ArchiveBuilder &createTables, const TableCopied &copied)
{
    Result<const ArchiveDriver *> driver = driverFor(target);
    if (!driver)
        return driver.error();
    auto from = openArchiveToRead(source);
    if (!from)
        return from.error();
    return (*driver)->copyInto(**from, target, createTables, copied);
}

Result<ArchiveCheck> checkArchive(const QString &location)
{
    Result<const ArchiveDriver *> driver = driverFor(location);
    if (!driver)
        return driver.error();
    return (*driver)->check(location);
}

} // namespace db
