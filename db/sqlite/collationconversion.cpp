#include "db/sqlite/collationconversion.h"

#include "db/sql/sqltokenizer.h"
#include "db/sqlite/sqliteconnection.h"
#include "db/sqlite/sqlitefunctions.h"

#include <QSet>

namespace db {

namespace {

struct SchemaEntry
{
    QString type; // table, index, trigger, view
    QString name;
    QString table;
    QString sql;
};

bool isNoCase(const Token &t)
{
    QStringView name = t.text;
    if (t.kind == TokenKind::QuotedName)
        name = name.mid(1, name.size() - 2);
    else if (t.kind != TokenKind::Word)
        return false;
    return name.compare(u"NOCASE", Qt::CaseInsensitive) == 0;
}

// The tokens of `sql` that name the NOCASE collation after a COLLATE.
QList<qsizetype> noCaseTokens(const QList<Token> &t)
{
    QList<qsizetype> found;
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (!t[i].isWord(u"COLLATE"))
            continue;
        const qsizetype name = nextSignificant(t, i);
        if (name >= 0 && isNoCase(t[name]))
            found.append(name);
    }
    return found;
}

bool namesNoCase(QStringView sql)
{
    return !noCaseTokens(tokenizeSql(sql)).isEmpty();
}

Result<QList<SchemaEntry>> schemaEntries(Connection &c)
{
    Result<RowSet> rows = c.runNative(
        QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_schema "
                       "WHERE sql IS NOT NULL AND substr(name, 1, 7) <> 'sqlite_' ORDER BY rowid"));
    if (!rows)
        return rows.error();
    QList<SchemaEntry> entries;
    for (const QVariantList &row : std::as_const(rows->rows))
        entries.append(
            {row[0].toString(), row[1].toString(), row[2].toString(), row[3].toString()});
    return entries;
}

class Conversion
{
public:
    explicit Conversion(SqliteConnection &c) : m_c(c) {}

    Status run()
    {
        Transaction transaction(m_c);
        if (!transaction.started())
            return transaction.started();
        // Another workstation may have converted it while this one waited for the lock.
        Result<RowSet> version = m_c.runNative(QStringLiteral("PRAGMA user_version"));
        if (!version)
            return version.error();
        if (version->rows.value(0).value(0).toInt() >= kArchiveFormat)
            return transaction.commit();
        if (Status copied = m_c.copyTo(backupPath(m_c.location())); !copied)
            return copied;
        Result<QList<SchemaEntry>> entries = schemaEntries(m_c);
        if (!entries)
            return entries.error();
        m_entries = *entries;
        QSet<QString> rebuilt;
        for (const SchemaEntry &e : std::as_const(m_entries)) {
            if (e.type != u"table" || !namesNoCase(e.sql))
                continue;
            if (Status done = rebuildTable(e); !done)
                return done;
            rebuilt.insert(e.name.toCaseFolded());
        }
        // Indexes that name NOCASE themselves, on tables that did not.
        for (const SchemaEntry &e : std::as_const(m_entries)) {
            if (e.type != u"index" || rebuilt.contains(e.table.toCaseFolded()) ||
                !namesNoCase(e.sql))
                continue;
            if (Status done = exec(QStringLiteral("DROP INDEX ") + quoted(e.name)); !done)
                return done;
            if (Status done = exec(withOwnCollation(e.sql)); !done)
                return done;
        }
        if (Status done = exec(QStringLiteral("PRAGMA user_version = %1").arg(kArchiveFormat));
            !done)
            return done;
        return transaction.commit();
    }

private:
    Status exec(const QString &sql, const QVariantList &values = {})
    {
        Result<RowSet> done = m_c.runNative(sql, values);
        return done ? Status() : Status(done.error());
    }

    QString quoted(const QString &name) const { return m_c.dialect().quoteIdentifier(name); }

    QString unusedName(const QString &base) const
    {
        QString name = base + QStringLiteral("_formato1");
        for (int n = 2; std::any_of(m_entries.begin(), m_entries.end(),
                                    [&](const SchemaEntry &e) {
                                        return e.name.compare(name, Qt::CaseInsensitive) == 0;
                                    });
             ++n)
            name = base + QStringLiteral("_formato1_%1").arg(n);
        return name;
    }

    // The columns to copy: all of them, and the hidden row number when no column stands for
    // it, so that every row keeps the number it had.
    Result<QString> copiedColumns(const QString &table)
    {
        Result<RowSet> info =
            m_c.runNative(QStringLiteral("PRAGMA table_info(") + quoted(table) + u')');
        if (!info)
            return info.error();
        QStringList names;
        int keys = 0;
        bool integerKey = false;
        for (qsizetype r = 0; r < info->rows.size(); ++r) {
            names.append(quoted(info->value(r, u"name").toString()));
            if (info->value(r, u"pk").toInt() > 0) {
                ++keys;
                integerKey =
                    info->value(r, u"type").toString().compare(u"INTEGER", Qt::CaseInsensitive) ==
                    0;
            }
        }
        const bool hasRowNumber =
            m_c.runNative(QStringLiteral("SELECT rowid FROM %1 LIMIT 0").arg(quoted(table))).ok();
        if (hasRowNumber && !(keys == 1 && integerKey))
            names.prepend(QStringLiteral("rowid"));
        return names.join(u", ");
    }

    Result<QVariant> sequenceOf(const QString &table)
    {
        Result<RowSet> has = m_c.runNative(QStringLiteral(
            "SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = 'sqlite_sequence'"));
        if (!has)
            return has.error();
        if (has->rows.isEmpty())
            return QVariant();
        Result<RowSet> seq = m_c.runNative(
            QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = ?"), {table});
        if (!seq)
            return seq.error();
        return seq->rows.value(0).value(0);
    }

    // Renamed out of the way, created again by its own statement with the new collation,
    // filled, the old one dropped; then its indexes and triggers, which went with the old one.
    // The counter goes on from where it was, so that deleted keys are still never reused.
    Status rebuildTable(const SchemaEntry &table)
    {
        Result<QString> columns = copiedColumns(table.name);
        if (!columns)
            return columns.error();
        Result<QVariant> sequence = sequenceOf(table.name);
        if (!sequence)
            return sequence.error();
        const QString old = quoted(unusedName(table.name));
        const QString name = quoted(table.name);
        const QStringList steps = {
            QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(name, old),
            withOwnCollation(table.sql),
            QStringLiteral("INSERT INTO %1 (%2) SELECT %2 FROM %3").arg(name, *columns, old),
            QStringLiteral("DROP TABLE %1").arg(old)};
        for (const QString &sql : steps) {
            if (Status done = exec(sql); !done)
                return done;
        }
        for (const SchemaEntry &e : std::as_const(m_entries)) {
            if ((e.type == u"index" || e.type == u"trigger") &&
                e.table.compare(table.name, Qt::CaseInsensitive) == 0) {
                if (Status done = exec(withOwnCollation(e.sql)); !done)
                    return done;
            }
        }
        if (sequence->isNull())
            return {};
        if (Status done =
                exec(QStringLiteral("DELETE FROM sqlite_sequence WHERE name = ?"), {table.name});
            !done)
            return done;
        return exec(QStringLiteral("INSERT INTO sqlite_sequence (name, seq) VALUES (?, ?)"),
                    {table.name, *sequence});
    }

    SqliteConnection &m_c;
    QList<SchemaEntry> m_entries;
};

} // namespace

QString backupPath(const QString &archivePath)
{
    return archivePath + QStringLiteral(".copia-formato-1");
}

QString withOwnCollation(QStringView createSql)
{
    QList<Token> t = tokenizeSql(createSql);
    for (qsizetype i : noCaseTokens(t))
        t[i].text = QString::fromLatin1(kTextCollation);
    QString sql;
    for (const Token &token : std::as_const(t))
        sql += token.text;
    return sql;
}

Status convertToOwnCollation(SqliteConnection &connection)
{
    // The old table is renamed out of the way: the views and triggers that name it must keep
    // naming the table that takes its place.
    (void)connection.runNative(QStringLiteral("PRAGMA legacy_alter_table = ON"));
    const Status done = Conversion(connection).run();
    (void)connection.runNative(QStringLiteral("PRAGMA legacy_alter_table = OFF"));
    if (done)
        return {};
    return Error{QStringLiteral("Impossibile convertire l'archivio %1 al nuovo ordinamento dei "
                                "testi; l'archivio è rimasto com'era. %2")
                     .arg(connection.location(), done.message())};
}

} // namespace db
