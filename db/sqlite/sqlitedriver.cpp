#include "db/sqlite/sqlitedriver.h"

#include "db/core/privatefiles.h"
#include "db/sqlite/archiveuse.h"
#include "db/sqlite/collationconversion.h"
#include "db/sqlite/sqlitebackup.h"
#include "db/sqlite/sqliteconnection.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace db {

namespace {

Result<std::unique_ptr<SqliteConnection>> openAsItIs(const QString &location)
{
    if (location.trimmed().isEmpty())
        return Error{QStringLiteral("Percorso dell'archivio non indicato.")};
    return SqliteConnection::open(location, SqliteConnection::Mode::Existing);
}

// A new archive file at `building`, filled by `build`; nothing is left there on failure.
Status buildFile(const QString &building, const ArchiveBuilder &build)
{
    // Made private before the engine writes into it; its journal files take its mode.
    if (Status made = createPrivateFile(building); !made)
        return made;
    auto opened = SqliteConnection::open(building, SqliteConnection::Mode::CreateNew);
    if (!opened)
        return opened.error();
    Status done = (*opened)->markAsArchive(kArchiveFormat);
    if (done)
        done = build(**opened);
    if (!done) {
        opened->reset();
        QFile::remove(building);
    }
    return done;
}

} // namespace

bool SqliteDriver::handles(const QString &location) const
{
    static const QRegularExpression address(QStringLiteral("^\\s*[a-z][a-z0-9+.-]*://"),
                                            QRegularExpression::CaseInsensitiveOption);
    return !address.match(location).hasMatch();
}

Result<std::unique_ptr<Connection>> SqliteDriver::open(const QString &location, Access access) const
{
    // Taken before the file is opened: while a restore holds the archive, it is not opened.
    ArchiveUse use;
    if (access == Access::InUse && QFileInfo(location).isFile()) {
        Result<ArchiveUse> shared = ArchiveUse::share(location);
        if (!shared)
            return shared.error();
        use = std::move(*shared);
    }
    auto opened = openAsItIs(location);
    if (!opened)
        return opened.error();
    if (access == Access::QueriesOnly) {
        (*opened)->allowQueriesOnly();
    } else if ((*opened)->formatVersion() < kArchiveFormat) {
        if (Status converted = convertToOwnCollation(**opened); !converted)
            return converted.error();
        // A new connection, without the first format's NOCASE in place.
        opened->reset();
        opened = openAsItIs(location);
        if (!opened)
            return opened.error();
    }
    (*opened)->keepInUse(std::move(use));
    return std::unique_ptr<Connection>(std::move(*opened));
}

Status SqliteDriver::create(const QString &path, const ArchiveBuilder &build) const
{
    if (QFileInfo::exists(path))
        return Error{QStringLiteral("Il file %1 esiste già: non viene sovrascritto.").arg(path)};
    const QFileInfo folder(QFileInfo(path).absolutePath());
    if (!folder.isDir())
        return Error{QStringLiteral("Impossibile creare l'archivio %1: la cartella %2 non esiste.")
                         .arg(path, folder.filePath())};
    // Built under another name and renamed at the end, so that a failure leaves no half archive.
    const QString building = path + QStringLiteral(".nuovo");
    QFile::remove(building);
    if (Status built = buildFile(building, build); !built)
        // The message names the archive the user knows, not the name it is built under.
        return Error{QStringLiteral("Impossibile creare l'archivio %1: %2")
                         .arg(path, built.message().replace(building, path))};
    if (!QFile::rename(building, path)) {
        QFile::remove(building);
        return Error{
            QStringLiteral("Impossibile creare l'archivio %1: il file non può essere scritto.")
                .arg(path)};
    }
    return {};
}

Result<ArchiveCheck> SqliteDriver::check(const QString &location) const
{
    return checkArchiveFile(location);
}

QString SqliteDriver::backupAdvice(const QString & /*location*/, const QString & /*copy*/,
                                   bool /*restoring*/) const
{
    return {};
}

Status SqliteDriver::backup(const QString &archive, const QString &copy) const
{
    return backupArchiveFile(archive, copy);
}

Status SqliteDriver::restore(const QString &copy, const QString &archive) const
{
    return restoreArchiveFile(copy, archive);
}

Status SqliteDriver::restoreRefusal(const QString &copy, const QString &archive) const
{
    return restoreArchiveFileRefusal(copy, archive);
}

Result<ArchiveCheck> checkArchiveFile(const QString &path)
{
    auto opened = openAsItIs(path);
    if (!opened)
        return opened.error();
    Result<RowSet> rows = (*opened)->runNative(QStringLiteral("PRAGMA integrity_check"));
    ArchiveCheck check;
    check.earlierFormat = (*opened)->formatVersion() < kArchiveFormat;
    // A file damaged past what the check can walk fails it: that is its answer too.
    if (!rows) {
        check.problems.append(rows.message());
        return check;
    }
    for (const QVariantList &row : std::as_const(rows->rows)) {
        const QString line = row.value(0).toString();
        if (line != u"ok")
            check.problems.append(line);
    }
    return check;
}

} // namespace db
