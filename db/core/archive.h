#pragma once

#include "db/core/connection.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace db {

// The one door to an archive as a whole: whether it is a file or a database on a server, these
// functions open, create, copy and check it; nothing above the database layer needs to know
// which engine holds it. A location no engine knows is refused with a message.

// True when `location` names a database server (a postgresql:// address or libpq keywords such
// as "host=... dbname=...") rather than a file.
bool isServerLocation(const QString &location);

// Asks the user for the password of `server` when the server wants one that ~/.pgpass does not
// hold; nothing when the user gives up. Set by the program's windows; without it no one is asked.
using PasswordPrompt = std::function<std::optional<QString>(const QString &server)>;
void setPasswordPrompt(PasswordPrompt prompt);

// Opens the archive at `location`. Refuses what is not an existing archive. An archive file of
// an earlier format is converted first.
Result<std::unique_ptr<Connection>> openArchive(const QString &location);

// Opens the archive as the program does for its run: as openArchive(), and marked as in use by
// this workstation for as long as the connection stays open, so that no restore replaces it
// meanwhile (an archive file; a server keeps its own account of who is connected).
Result<std::unique_ptr<Connection>> openArchiveInUse(const QString &location);

// Opens the archive for reading only: every statement but a single query is refused. Nothing
// in the archive changes, an earlier format is read as it is.
Result<std::unique_ptr<Connection>> openArchiveToRead(const QString &location);

// Fills a new, empty archive; it runs its own transaction.
using ArchiveBuilder = std::function<Status(Connection &connection)>;

// Creates a new archive at `location` (a new file, or an empty database on a server) and lets
// `build` fill it. An existing file is never touched, nor a database that holds tables; a file
// is built under another name and put in place only when complete.
Status createArchive(const QString &location, const ArchiveBuilder &build);

// Empty when the program writes and restores copies of the archive at `location` itself;
// otherwise the words, with the command line, that say how the engine's own tools do it
// (`copy` the copy's file, `restoring` for the line that puts it back).
QString backupAdvice(const QString &location, const QString &copy, bool restoring);

// Writes a copy of the archive to `copyPath` while other workstations may be using it. The copy
// is checked before it takes the place of `copyPath`; on any failure `copyPath` is left as it
// was. For an archive the program does not copy itself, the answer is backupAdvice().
Status backupArchive(const QString &archive, const QString &copyPath);

// Puts the copy `copyPath` back as the archive. The copy must be a sound archive and no program
// may have the archive open; an interruption leaves the archive as it was.
Status restoreArchive(const QString &copyPath, const QString &archive);
// What restoreArchive() would refuse now (the copy, the archive in use by some program, an
// engine whose copies are put back by its own tools), checked before the user is asked.
Status restoreRefusal(const QString &copyPath, const QString &archive);

// Told of each table copied, with its rows, as soon as it is done.
using TableCopied = std::function<void(const QString &table, qint64 rows)>;

// Copies the archive at `source` into a new archive at `target`, whose tables `createTables`
// creates (inside the copy's transaction): all of it or nothing. Returns the target's location
// as its engine names it.
Result<QString> copyArchive(const QString &source, const QString &target,
                            const ArchiveBuilder &createTables, const TableCopied &copied);

struct ArchiveCheck
{
    QStringList problems; // as the engine words them; none when the archive is sound
    bool earlierFormat = false;
};

// Checks the archive's structure, with the program's text order in place, without changing it.
Result<ArchiveCheck> checkArchive(const QString &location);

} // namespace db
