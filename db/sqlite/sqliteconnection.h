#pragma once

#include "db/core/connection.h"
#include "db/sqlite/archiveuse.h"
#include "db/sqlite/sqlitedialect.h"

#include <QHash>

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace db {

// An archive in one SQLite file.
class SqliteConnection final : public Connection
{
public:
    enum class Mode
    {
        Existing,
        CreateNew
    };

    // Existing: the file must be there and be an archive; nothing is ever created.
    // CreateNew: the file must not exist, or be empty (made beforehand with the mode it must
    // have); an empty archive file is created.
    static Result<std::unique_ptr<SqliteConnection>> open(const QString &path, Mode mode);
    ~SqliteConnection() override;

    Result<RowSet> runNative(const QString &sql, const QVariantList &values = {}) override;
    Status streamNative(const QString &sql, const QVariantList &values,
                        RowReceiver &receiver) override;
    Result<QString> keyColumn(const QString &table) override;
    Result<QStringList> tableNames() override;
    Status begin() override;
    Status commit() override;
    Status rollback() override;
    void releaseMemory() override;
    const Dialect &dialect() const override { return m_dialect; }
    QString location() const override { return m_path; }

    // How long a statement waits for another workstation's lock before it gives up.
    void setLockWait(int milliseconds);

    // Marks the file as an archive of this program (set once, when the archive is created).
    Status markAsArchive(int formatVersion);
    // The format the file had when it was opened (its user_version).
    int formatVersion() const { return m_formatVersion; }

    // From now on every statement but a single query that only reads is refused, whatever
    // table or function it names: for a connection that runs texts it has not written.
    void allowQueriesOnly();

    // Keeps `use` for as long as the connection stays open; let go after the file is closed.
    void keepInUse(ArchiveUse use) { m_use = std::move(use); }

    // Writes a copy of the archive as last committed to `path`, which is replaced. Inside a
    // transaction that has changed nothing yet, that is the archive as this connection sees it.
    Status copyTo(const QString &path);

private:
    SqliteConnection(sqlite3 *handle, QString path);
    Result<sqlite3_stmt *> prepare(const QString &sql);
    Error engineError(int code) const;
    Error queriesOnlyError() const;

    sqlite3 *m_db;
    QString m_path;
    SqliteDialect m_dialect;
    QHash<QString, sqlite3_stmt *> m_statements;
    int m_formatVersion = 0;
    bool m_queriesOnly = false;
    ArchiveUse m_use; // let go only after the destructor has closed the file
};

// The mark in the file's header that tells an archive of this program from other SQLite files.
inline constexpr int kArchiveApplicationId = 0x43414C56; // "CALV"

// The format of the file, in its header's user_version. 1: texts declared COLLATE NOCASE, with
// the program's order put in place of SQLite's (other tools saw broken indexes); 2: texts
// declared with the program's own collation, kTextCollation.
inline constexpr int kFirstArchiveFormat = 1;
inline constexpr int kArchiveFormat = 2;

} // namespace db
