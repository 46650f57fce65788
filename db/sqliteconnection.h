#pragma once

#include "db/connection.h"
#include "db/sqlitedialect.h"

#include <QHash>

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace db {

// An archive in one SQLite file.
class SqliteConnection final : public Connection
{
public:
    enum class Mode { Existing, CreateNew };

    // Existing: the file must be there and be an archive; nothing is ever created.
    // CreateNew: the file must not exist; an empty archive file is created.
    static Result<std::unique_ptr<SqliteConnection>> open(const QString &path, Mode mode);
    ~SqliteConnection() override;

    Result<RowSet> runNative(const QString &sql, const QVariantList &values = {}) override;
    Result<QString> keyColumn(const QString &table) override;
    Status begin() override;
    Status commit() override;
    Status rollback() override;
    const Dialect &dialect() const override { return m_dialect; }
    QString location() const override { return m_path; }

    // How long a statement waits for another workstation's lock before it gives up.
    void setLockWait(int milliseconds);

    // Marks the file as an archive of this program (set once, when the archive is created).
    Status markAsArchive(int schemaVersion);

private:
    SqliteConnection(sqlite3 *handle, QString path);
    Result<sqlite3_stmt *> prepare(const QString &sql);
    Error engineError(int code) const;

    sqlite3 *m_db;
    QString m_path;
    SqliteDialect m_dialect;
    QHash<QString, sqlite3_stmt *> m_statements;
};

// The mark in the file's header that tells an archive of this program from other SQLite files.
inline constexpr int kArchiveApplicationId = 0x43414C56; // "CALV"

} // namespace db
