#pragma once

#include "db/core/connection.h"

#include <memory>

namespace db {

// The connection the program keeps for its whole run. The data sets are bound to it from the
// start; the archive behind it is opened during start-up and may be reopened (after a schema
// update). Until then every statement fails with "L'archivio non è aperto."
class ArchiveConnection final : public Connection
{
public:
    // Opens the archive at `location`, closing the one open before, as in use by this
    // workstation for as long as it stays open (openArchiveInUse).
    Status open(const QString &location);
    void close();
    bool isOpen() const { return m_archive != nullptr; }

    Result<RowSet> runNative(const QString &sql, const QVariantList &values = {}) override;
    Status streamNative(const QString &sql, const QVariantList &values,
                        RowReceiver &receiver) override;
    Result<QString> keyColumn(const QString &table) override;
    Result<QStringList> tableNames() override;
    Status begin() override;
    Status beginReading() override;
    Status commit() override;
    Status rollback() override;
    void releaseMemory() override;
    const Dialect &dialect() const override;
    QString location() const override;

private:
    std::unique_ptr<Connection> m_archive;
    QString m_location;
};

} // namespace db
