#include "db/postgres/pgdriver.h"

#include "db/postgres/pgconnection.h"

#include <QRegularExpression>

namespace db {

namespace {

constexpr qsizetype kRowsPerCopy = 5000;

// Single quotes for the shell, so that the line shown can be pasted as it is.
QString shellQuoted(QString text)
{
    text.replace(u'\'', QStringLiteral("'\\''"));
    return u'\'' + text + u'\'';
}

Result<qint64> countOf(Connection &c, const QString &table)
{
    Result<RowSet> n =
        c.runNative(QStringLiteral("SELECT count(*) FROM ") + c.dialect().quoteIdentifier(table));
    if (!n)
        return n.error();
    return n->rows.value(0).value(0).toLongLong();
}

// Takes the rows of one table of the source and hands them to the server a slice at a time.
class TableLoader final : public RowReceiver
{
public:
    TableLoader(PgConnection &target, const QString &table) : m_target(target), m_table(table) {}

    void columns(const QList<Column> &columns) override
    {
        m_names.clear();
        for (const Column &column : columns)
            m_names.append(column.name);
    }
    void row(const QVariantList &values) override
    {
        if (!m_done)
            return;
        m_rows.append(values);
        if (m_rows.size() == kRowsPerCopy)
            flush();
    }
    // The rows copied, once the source has handed over its last one.
    Result<qint64> finish()
    {
        flush();
        if (!m_done)
            return Error{QStringLiteral("Tabella %1: %2").arg(m_table, m_done.message())};
        return m_copied;
    }

private:
    void flush()
    {
        if (!m_done || m_rows.isEmpty())
            return;
        m_done = m_target.copyRows(m_table, m_names, m_rows);
        m_copied += m_rows.size();
        m_rows.clear();
    }

    PgConnection &m_target;
    QString m_table;
    QStringList m_names;
    QList<QVariantList> m_rows;
    qint64 m_copied = 0;
    Status m_done;
};

// Copies one table in the order the source reads it, its keys as they are.
Result<qint64> copyTable(Connection &source, PgConnection &target, const QString &table)
{
    TableLoader loader(target, table);
    if (Status read = source.streamNative(
            QStringLiteral("SELECT * FROM ") + source.dialect().quoteIdentifier(table), {}, loader);
        !read)
        return read.error();
    return loader.finish();
}

} // namespace

bool PgDriver::handles(const QString &location) const
{
    static const QRegularExpression server(
        QStringLiteral("^\\s*(postgres(ql)?://"
                       "|(host|hostaddr|port|dbname|user|service|passfile|sslmode)\\s*=)"),
        QRegularExpression::CaseInsensitiveOption);
    return server.match(location).hasMatch();
}

Result<std::unique_ptr<Connection>> PgDriver::open(const QString &location, Access access) const
{
    auto opened = PgConnection::open(location.trimmed(), PgConnection::Mode::Existing);
    if (!opened)
        return opened.error();
    if (access == Access::QueriesOnly)
        (*opened)->allowQueriesOnly();
    return std::unique_ptr<Connection>(std::move(*opened));
}

Status PgDriver::create(const QString &location, const ArchiveBuilder &build) const
{
    auto opened = PgConnection::open(location, PgConnection::Mode::CreateNew);
    if (!opened)
        return opened.error();
    if (Status done = build(**opened); !done)
        return Error{QStringLiteral("Impossibile creare l'archivio sul server %1: %2")
                         .arg((*opened)->location(), done.message())};
    return {};
}

Result<ArchiveCheck> PgDriver::check(const QString &location) const
{
    // The server looks after its own files; what it can report is an index left unusable.
    auto opened = open(location, Access::QueriesOnly);
    if (!opened)
        return opened.error();
    Result<RowSet> broken = (*opened)->runNative(
        QStringLiteral("SELECT CAST(indexrelid AS regclass) FROM pg_index WHERE NOT indisvalid"));
    if (!broken)
        return broken.error();
    ArchiveCheck check;
    for (const QVariantList &row : std::as_const(broken->rows))
        check.problems.append(QStringLiteral("indice non valido: ") + row.value(0).toString());
    return check;
}

QString PgDriver::backupAdvice(const QString &location, const QString &copy, bool restoring) const
{
    QString text = QStringLiteral(
        "L'archivio è un database PostgreSQL: le sue copie di sicurezza si fanno con pg_dump e "
        "si rimettono con pg_restore, sul server o da una postazione che lo raggiunge.\n");
    if (restoring)
        text += QStringLiteral("Per ripristinare la copia:\n  pg_restore --clean --if-exists "
                               "--no-owner --dbname=%1 %2\n")
                    .arg(shellQuoted(location), shellQuoted(copy));
    else
        text += QStringLiteral("Per fare la copia:\n  pg_dump --format=custom --file=%1 %2\n")
                    .arg(shellQuoted(copy), shellQuoted(location));
    return text;
}

Result<QString> PgDriver::copyInto(Connection &source, const QString &location,
                                   const ArchiveBuilder &createTables,
                                   const TableCopied &copied) const
{
    auto opened = PgConnection::open(location, PgConnection::Mode::CreateNew);
    if (!opened)
        return opened.error();
    PgConnection &target = **opened;
    Result<QStringList> tables = source.tableNames();
    if (!tables)
        return tables.error();
    Transaction transaction(target);
    if (!transaction.started())
        return transaction.started().error();
    if (Status created = createTables(target); !created)
        return created.error();
    Result<QStringList> targetTables = target.tableNames();
    if (!targetTables)
        return targetTables.error();
    const QString nothingCopied = QStringLiteral("Niente è stato copiato.");
    for (const QString &table : std::as_const(*tables)) {
        if (!targetTables->contains(table.toLower()))
            return Error{QStringLiteral("La tabella %1 dell'archivio non esiste in un archivio "
                                        "nuovo: la copia non è possibile. %2")
                             .arg(table, nothingCopied)};
        const QString name = target.dialect().quoteIdentifier(table);
        // The keys are copied as they are; the counters are set once, at the end.
        if (auto off =
                target.runNative(QStringLiteral("ALTER TABLE %1 DISABLE TRIGGER USER").arg(name));
            !off)
            return off.error();
        Result<qint64> rows = copyTable(source, target, table);
        if (!rows)
            return Error{rows.message() + u'\n' + nothingCopied};
        if (auto on =
                target.runNative(QStringLiteral("ALTER TABLE %1 ENABLE TRIGGER USER").arg(name));
            !on)
            return on.error();
        Result<qint64> inSource = countOf(source, table);
        Result<qint64> inTarget = countOf(target, table);
        if (!inSource || !inTarget || *inSource != *inTarget || *inTarget != *rows)
            return Error{QStringLiteral("Tabella %1: righe nell'archivio %2, copiate %3. %4")
                             .arg(table)
                             .arg(inSource ? *inSource : -1)
                             .arg(inTarget ? *inTarget : -1)
                             .arg(nothingCopied)};
        copied(table, *rows);
    }
    if (Status counters = target.resetCounters(); !counters)
        return counters.error();
    if (Status done = transaction.commit(); !done)
        return Error{done.message() + u'\n' + nothingCopied};
    return target.location();
}

void PgDriver::setPasswordPrompt(const PasswordPrompt &prompt) const
{
    PgConnection::setPasswordPrompt(prompt);
}

} // namespace db
