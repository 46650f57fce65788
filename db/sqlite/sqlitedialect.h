#pragma once

#include "db/core/dialect.h"

namespace db {

class SqliteDialect final : public Dialect
{
public:
    QString name() const override { return QStringLiteral("SQLite"); }
    QString booleanLiteral(bool value) const override;
    QString lastIdentityExpression() const override;
    QString functionName(const QString &jetName) const override;
    QString likeRange(const QString &operand, QStringView pattern,
                      std::optional<QChar> escape) const override;
    QString columnType(ColumnType type, int length, bool hasOwnDefault) const override;
};

} // namespace db
