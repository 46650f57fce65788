#include "notices/recipients.h"

#include <algorithm>
#include <vector>

namespace notices {

QList<Recipient> recipientsOf(const db::RowSet &rows)
{
    const int name = rows.columnIndex(u"NominativoVisualizzato");
    const int key = rows.columnIndex(u"Id");
    QList<Recipient> recipients;
    if (name < 0 || key < 0)
        return recipients;
    // Each name folded once: comparing folded names is many times faster than comparing
    // regardless of case, which folds again at every comparison.
    struct Entry
    {
        QString folded;
        Recipient recipient;
    };
    std::vector<Entry> entries;
    entries.reserve(size_t(rows.rows.size()));
    for (const QVariantList &row : rows.rows) {
        QString shown = row[name].toString();
        if (!shown.isEmpty())
            entries.push_back(Entry{shown.toCaseFolded(), Recipient{shown, row[key].toLongLong()}});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        const int order = a.folded.compare(b.folded);
        return order != 0 ? order < 0 : a.recipient.id < b.recipient.id;
    });
    recipients.reserve(qsizetype(entries.size()));
    for (Entry &e : entries)
        recipients.append(std::move(e.recipient));
    return recipients;
}

db::Status writeRecipients(db::Connection &connection, const QString &computerName,
                           const QList<qint64> &contacts)
{
    db::Transaction transaction(connection);
    if (!transaction.started())
        return transaction.started();
    if (db::Result<db::RowSet> cleared = connection.run(clearRecipientsSql(), {computerName});
        !cleared)
        return cleared.error();
    const QString insert = addRecipientSql();
    for (qint64 contact : contacts) {
        if (db::Result<db::RowSet> added = connection.run(insert, {computerName, contact}); !added)
            return added.error();
    }
    return transaction.commit();
}

db::Result<QString> storedNoticeText(db::Connection &connection, const QString &computerName)
{
    const db::Result<db::RowSet> stored = connection.run(storedNoticeTextSql(), {computerName});
    if (!stored)
        return stored.error();
    const QString text = stored->rows.isEmpty() ? QString() : stored->rows[0][0].toString();
    if (text.trimmed().isEmpty())
        return db::Error{QStringLiteral("Il testo dell'avviso è vuoto: scriverlo, o importarlo da "
                                        "un avviso già predisposto, prima di stampare.")};
    return text;
}

QString clearRecipientsSql()
{
    return QStringLiteral("delete * from TempAvvisiContatti where NomeComputer = ?");
}

QString addRecipientSql()
{
    return QStringLiteral(
        "insert into TempAvvisiContatti (NomeComputer, Contatto_ID) VALUES(?, ?)");
}

QString storedNoticeTextSql()
{
    return QStringLiteral("select Testo from TempAvvisi where NomeComputer = ?");
}

} // namespace notices
