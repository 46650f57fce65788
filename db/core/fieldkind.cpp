#include "db/core/fieldkind.h"

namespace db {

FieldKind kindFromDeclaredType(const QString &declaredType)
{
    const QString t = declaredType.trimmed().toUpper();
    if (t.isEmpty())
        return FieldKind::Unknown;
    if (t.startsWith(u"LONGTEXT") || t.startsWith(u"MEMO") || t.contains(u"CLOB"))
        return FieldKind::Memo;
    if (t.contains(u"CHAR") || t.contains(u"TEXT"))
        return FieldKind::Text;
    if (t.startsWith(u"BOOL"))
        return FieldKind::Bool;
    if (t.startsWith(u"DATE") || t.startsWith(u"TIMESTAMP"))
        return FieldKind::Date;
    if (t.startsWith(u"CURRENCY") || t.startsWith(u"NUMERIC(19,4)"))
        return FieldKind::Currency;
    if (t.contains(u"INT"))
        return FieldKind::Integer;
    if (t.contains(u"REAL") || t.contains(u"FLOA") || t.contains(u"DOUB") ||
        t.startsWith(u"NUMERIC"))
        return FieldKind::Real;
    if (t.contains(u"BLOB") || t.contains(u"BYTEA"))
        return FieldKind::Binary;
    return FieldKind::Unknown;
}

} // namespace db
