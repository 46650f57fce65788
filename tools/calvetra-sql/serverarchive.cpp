#include "serverarchive.h"

#include "db/archive.h"
#include "db/pgconnection.h"
#include "schema/archivecreator.h"

#include <QElapsedTimer>
#include <QTextStream>
#include <limits>

namespace {

constexpr qsizetype kRowsPerRead = 5000;

int failed(const QString &message)
{
    QTextStream(stderr) << message << Qt::endl;
    return 1;
}

db::Result<QStringList> tablesOf(db::Connection &source)
{
    db::Result<db::RowSet> rows =
        source.runNative(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND "
                                        "name NOT LIKE 'sqlite\\_%' ESCAPE '\\' "
                                        "ORDER BY name"));
    if (!rows)
        return rows.error();
    QStringList names;
    for (const QVariantList &row : std::as_const(rows->rows))
        names.append(row[0].toString());
    return names;
}

db::Result<qint64> countOf(db::Connection &c, const QString &table)
{
    db::Result<db::RowSet> n =
        c.runNative(QStringLiteral("SELECT count(*) FROM ") + c.dialect().quoteIdentifier(table));
    if (!n)
        return n.error();
    return n->rows.value(0).value(0).toLongLong();
}

// Copies one table, a slice of rows at a time, in the order of the file.
db::Result<qint64> copyTable(db::Connection &source, db::PgConnection &target, const QString &table)
{
    const QString from = source.dialect().quoteIdentifier(table);
    const QString into = target.dialect().quoteIdentifier(table);
    qint64 copied = 0;
    qint64 lastRow = std::numeric_limits<qint64>::min();
    for (;;) {
        db::Result<db::RowSet> slice = source.runNative(
            QStringLiteral(
                "SELECT rowid AS calvetra_riga, * FROM %1 WHERE rowid > ? ORDER BY rowid LIMIT %2")
                .arg(from)
                .arg(kRowsPerRead),
            {lastRow});
        if (!slice)
            return slice.error();
        if (slice->rows.isEmpty())
            return copied;
        QStringList names;
        for (qsizetype c = 1; c < slice->columns.size(); ++c)
            names.append(slice->columns[c].name);
        QList<QVariantList> rows;
        rows.reserve(slice->rows.size());
        for (const QVariantList &row : std::as_const(slice->rows))
            rows.append(row.mid(1));
        if (db::Status done = target.copyRows(table, names, rows); !done)
            return db::Error{QStringLiteral("Tabella %1: %2").arg(table, done.message())};
        copied += rows.size();
        lastRow = slice->rows.last().value(0).toLongLong();
    }
}

} // namespace

int initServerArchive(const QString &location)
{
    if (db::Status created = schema::createServerArchive(location); !created)
        return failed(created.message());
    QTextStream(stdout) << "Archivio creato sul server." << Qt::endl;
    return 0;
}

int copyArchiveToServer(const QString &archive, const QString &location)
{
    if (db::isServerLocation(archive) || !db::isServerLocation(location))
        return failed(QStringLiteral("--copy copia un archivio su file in un database del server: "
                                     "calvetra-sql --copy ARCHIVIO postgresql://..."));
    auto source = db::openArchiveToRead(archive);
    if (!source)
        return failed(source.message());
    auto opened = db::PgConnection::open(location, db::PgConnection::Mode::CreateNew);
    if (!opened)
        return failed(opened.message());
    db::PgConnection &target = **opened;
    QElapsedTimer timer;
    timer.start();

    db::Result<QStringList> tables = tablesOf(**source);
    if (!tables)
        return failed(tables.message());
    QTextStream out(stdout);
    db::Transaction transaction(target);
    if (!transaction.started())
        return failed(transaction.started().message());
    if (db::Status created = schema::createTables(target); !created)
        return failed(created.message());
    db::Result<QStringList> targetTables = target.tableNames();
    if (!targetTables)
        return failed(targetTables.message());
    for (const QString &table : std::as_const(*tables)) {
        if (!targetTables->contains(table.toLower()))
            return failed(
                QStringLiteral("La tabella %1 dell'archivio non esiste in un archivio nuovo: "
                               "la copia non è possibile. Niente è stato copiato.")
                    .arg(table));
        const QString name = target.dialect().quoteIdentifier(table);
        // The keys are copied as they are; the counters are set once, at the end.
        if (auto off =
                target.runNative(QStringLiteral("ALTER TABLE %1 DISABLE TRIGGER USER").arg(name));
            !off)
            return failed(off.message());
        db::Result<qint64> copied = copyTable(**source, target, table);
        if (!copied)
            return failed(copied.message() + QStringLiteral("\nNiente è stato copiato."));
        if (auto on =
                target.runNative(QStringLiteral("ALTER TABLE %1 ENABLE TRIGGER USER").arg(name));
            !on)
            return failed(on.message());
        db::Result<qint64> inSource = countOf(**source, table);
        db::Result<qint64> inTarget = countOf(target, table);
        if (!inSource || !inTarget || *inSource != *inTarget || *inTarget != *copied)
            return failed(QStringLiteral("Tabella %1: righe nell'archivio %2, copiate %3. "
                                         "Niente è stato copiato.")
                              .arg(table)
                              .arg(inSource ? *inSource : -1)
                              .arg(inTarget ? *inTarget : -1));
        out << table << ": " << *copied << " righe" << Qt::endl;
    }
    if (db::Status counters = target.resetCounters(); !counters)
        return failed(counters.message());
    if (db::Status done = transaction.commit(); !done)
        return failed(done.message() + QStringLiteral("\nNiente è stato copiato."));
    out << "Archivio copiato sul server " << target.location() << " in "
        << QString::number(timer.elapsed() / 1000.0, 'f', 1) << " s." << Qt::endl;
    return 0;
}
