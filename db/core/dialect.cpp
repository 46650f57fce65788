#include "db/core/dialect.h"

#include "db/core/datetimes.h"

namespace db {

QString Dialect::quoteIdentifier(const QString &identifier) const
{
    QString quoted = identifier;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString Dialect::dateLiteral(const QDateTime &value) const
{
    return u'\'' + storedDateTimeText(value) + u'\'';
}

QString Dialect::limitClause(qint64 rows) const
{
    return QStringLiteral("LIMIT %1").arg(rows);
}

} // namespace db
