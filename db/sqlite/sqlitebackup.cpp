#include "db/sqlite/sqlitebackup.h"

#include "db/core/privatefiles.h"
#include "db/sqlite/archiveuse.h"
#include "db/sqlite/sqlitedriver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <sqlite3.h>

#include <cstdio>

namespace db {

namespace {

constexpr int kBusyTimeoutMs = 5000;
constexpr int kBusyRetries = 20;

struct Handle
{
    sqlite3 *db = nullptr;
    ~Handle() { sqlite3_close_v2(db); }
};

QString engineText(sqlite3 *handle, int code)
{
    return handle ? QString::fromUtf8(sqlite3_errmsg(handle))
                  : QString::fromUtf8(sqlite3_errstr(code));
}

int openHandle(const QString &path, int flags, Handle *handle)
{
    const int rc =
        sqlite3_open_v2(QFile::encodeName(path).constData(), &handle->db, flags, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_extended_result_codes(handle->db, 1);
        sqlite3_busy_timeout(handle->db, kBusyTimeoutMs);
    }
    return rc;
}

// Copies every page of `from` into `to` in one step: the source is read under one read lock,
// so the copy is the state of one moment. A source locked by a writer at that moment is tried
// again for a while.
Status copyPages(Handle &from, Handle &to, const QString &errorContext)
{
    int rc = SQLITE_OK;
    for (int attempt = 0; attempt < kBusyRetries; ++attempt) {
        sqlite3_backup *backup = sqlite3_backup_init(to.db, "main", from.db, "main");
        if (!backup)
            return Error{errorContext.arg(engineText(to.db, sqlite3_errcode(to.db)))};
        rc = sqlite3_backup_step(backup, -1);
        const int finished = sqlite3_backup_finish(backup);
        if (rc == SQLITE_DONE)
            rc = finished;
        if ((rc & 0xff) != SQLITE_BUSY && (rc & 0xff) != SQLITE_LOCKED)
            break;
        sqlite3_sleep(250);
    }
    if (rc == SQLITE_OK)
        return {};
    const int primary = rc & 0xff;
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
        return Error{
            errorContext.arg(QStringLiteral("l'archivio è bloccato da un'altra postazione"))};
    return Error{errorContext.arg(QString::fromUtf8(sqlite3_errstr(rc)))};
}

Status checkedCopy(const QString &path, const QString &what)
{
    Result<ArchiveCheck> check = checkArchiveFile(path);
    if (!check)
        return Error{QStringLiteral("%1 non è utilizzabile: %2").arg(what, check.message())};
    if (!check->problems.isEmpty())
        return Error{QStringLiteral("%1 è danneggiata: %2").arg(what, check->problems.join(u"; "))};
    return {};
}

} // namespace

Status backupArchiveFile(const QString &archivePath, const QString &copyPath)
{
    const QFileInfo source(archivePath);
    if (!source.isFile())
        return Error{QStringLiteral("L'archivio %1 non esiste.").arg(archivePath)};
    if (QFileInfo(copyPath).canonicalFilePath() == source.canonicalFilePath())
        return Error{QStringLiteral("La copia di sicurezza non può essere l'archivio stesso.")};
    // Checked before anything is copied: a file that is not an archive is not copied as one.
    if (Result<ArchiveCheck> archive = checkArchiveFile(archivePath); !archive)
        return archive.error();

    QTemporaryFile partial(QFileInfo(copyPath).absoluteDir().filePath(
        QFileInfo(copyPath).fileName() + QStringLiteral(".XXXXXX")));
    if (!partial.open())
        return Error{QStringLiteral("Impossibile scrivere la copia di sicurezza %1: %2.")
                         .arg(copyPath, partial.errorString())};
    partial.close();
    const QString partialPath = partial.fileName();
    const QString context =
        QStringLiteral("Impossibile scrivere la copia di sicurezza %1: %2.").arg(copyPath);
    {
        Handle from;
        Handle to;
        if (int rc = openHandle(archivePath, SQLITE_OPEN_READONLY, &from); rc != SQLITE_OK)
            return Error{context.arg(engineText(from.db, rc))};
        if (int rc = openHandle(partialPath, SQLITE_OPEN_READWRITE, &to); rc != SQLITE_OK)
            return Error{context.arg(engineText(to.db, rc))};
        if (Status copied = copyPages(from, to, context); !copied)
            return copied;
    }
    if (Status sound = checkedCopy(partialPath, QStringLiteral("La copia scritta")); !sound)
        return sound;
    // Private, as the archive should be, whatever the archive's own mode.
    if (Status made = makePrivate(partialPath); !made)
        return made;
    // rename() replaces the old copy in one step: there is always a whole copy under the name.
    if (std::rename(QFile::encodeName(partialPath).constData(),
                    QFile::encodeName(copyPath).constData()) != 0)
        return Error{
            QStringLiteral("Impossibile scrivere la copia di sicurezza %1.").arg(copyPath)};
    partial.setAutoRemove(false);
    return {};
}

namespace {

// The files are what a restore needs: the archive alone, then a sound copy (read only once the
// archive is known to be free, so that nobody waits on a long check for nothing).
Result<ArchiveUse> readyToRestore(const QString &copyPath, const QString &archivePath)
{
    if (!QFileInfo(copyPath).isFile())
        return Error{QStringLiteral("La copia di sicurezza %1 non esiste.").arg(copyPath)};
    if (!QFileInfo(archivePath).isFile())
        return Error{QStringLiteral("L'archivio %1 non esiste.").arg(archivePath)};
    if (QFileInfo(copyPath).canonicalFilePath() == QFileInfo(archivePath).canonicalFilePath())
        return Error{QStringLiteral("La copia di sicurezza è l'archivio stesso.")};
    Result<ArchiveUse> alone = ArchiveUse::takeAlone(archivePath);
    if (!alone)
        return alone.error();
    if (Status sound = checkedCopy(copyPath, QStringLiteral("La copia di sicurezza")); !sound)
        return sound.error();
    return alone;
}

} // namespace

Status restoreArchiveFileRefusal(const QString &copyPath, const QString &archivePath)
{
    Result<ArchiveUse> alone = readyToRestore(copyPath, archivePath);
    if (!alone)
        return alone.error();
    return {};
}

Status restoreArchiveFile(const QString &copyPath, const QString &archivePath)
{
    Result<ArchiveUse> alone = readyToRestore(copyPath, archivePath);
    if (!alone)
        return alone.error();
    const QString context =
        QStringLiteral("Impossibile ripristinare l'archivio %1: %2.").arg(archivePath);
    Handle from;
    Handle to;
    if (int rc = openHandle(copyPath, SQLITE_OPEN_READONLY, &from); rc != SQLITE_OK)
        return Error{context.arg(engineText(from.db, rc))};
    if (int rc = openHandle(archivePath, SQLITE_OPEN_READWRITE, &to); rc != SQLITE_OK)
        return Error{context.arg(engineText(to.db, rc))};
    return copyPages(from, to, context);
}

} // namespace db
